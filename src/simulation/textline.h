#pragma once

#include <SFML/Graphics/Text.hpp>
#include <SFML/System/String.hpp>

#include <string>

namespace pod {

// A text of the race's panels whose string is set again only when it
// changes, and then refilled in place: a frame that shows the same string
// allocates nothing, nor does a change once the text has been that long.
class TextLine {
public:
  // True when the string changed: the caller lays the text out again.
  bool set(const char* value);
  bool set(const std::string& value) { return set(value.c_str()); }
  // The next set changes the string whatever it is.
  void forget() { known_ = false; }
  const std::string& shown() const { return shown_; }

  sf::Text text;

private:
  std::string shown_;
  sf::String wide_;
  bool known_ = false;
};

} // namespace pod
