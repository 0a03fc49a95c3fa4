#include "simulation/textline.h"

namespace pod {

bool TextLine::set(const char* value) {
  if (known_ && shown_ == value)
    return false;
  known_ = true;
  shown_ = value;
  // Character by character, as sf::String converts a whole std::string, but
  // into storage kept from the last time.
  wide_.clear();
  for (const char c : shown_)
    wide_ += sf::String(c);
  text.setString(wide_);
  return true;
}

} // namespace pod
