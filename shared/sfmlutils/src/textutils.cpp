#include "sfmlutils/textutils.h"

#include <SFML/Graphics/Text.hpp>
#include <qutils/assert.h>

namespace sfmlutils {

namespace {

constexpr sf::Uint32 kSpace = U' ';
constexpr sf::Uint32 kNewline = U'\n';

// Proportional fonts: at each space (and at the end) the current line is
// measured, and an overflowing line breaks at its previous space.
sf::String wrapProportional(sf::Text& text, const sf::String& string,
                            float width) {
  sf::String out;
  std::size_t lineStart = 0;
  bool hasSpace = false;
  std::size_t lastSpace = 0;

  auto breakIfTooWide = [&]() {
    text.setString(out.substring(lineStart));
    if (text.getGlobalBounds().width > width && hasSpace) {
      out[lastSpace] = kNewline;
      lineStart = lastSpace + 1;
      hasSpace = false;
    }
  };

  for (std::size_t i = 0; i < string.getSize(); ++i) {
    const sf::Uint32 c = string[i];
    if (c == kNewline) {
      breakIfTooWide();
      out += c;
      lineStart = out.getSize();
      hasSpace = false;
      continue;
    }
    if (c == kSpace) {
      breakIfTooWide();
      hasSpace = true;
      lastSpace = out.getSize();
    }
    out += c;
  }
  breakIfTooWide();
  return out;
}

} // namespace

sf::String wrapMonospace(const sf::String& string, std::size_t n) {
  sf::String out;
  std::size_t line = 0;
  // Output index of the last break candidate. Before any candidate it points
  // just before the text (-1) so that an overlong first word stays whole;
  // every forced break becomes the new candidate for the same reason.
  std::ptrdiff_t lastBreak = -1;

  auto breakAtLastCandidate = [&]() {
    if (lastBreak >= 0)
      out[static_cast<std::size_t>(lastBreak)] = kNewline;
  };

  for (std::size_t i = 0; i < string.getSize(); ++i) {
    const sf::Uint32 c = string[i];
    const bool blank = c == kSpace || c == kNewline;
    if (line == 0 && c == kSpace) {
      continue;
    } else if (line <= n && c == kNewline) {
      out += c;
      lastBreak = static_cast<std::ptrdiff_t>(out.getSize()) - 1;
      line = 0;
    } else if (line + 1 < n || !blank) {
      out += c;
      if (c == kSpace)
        lastBreak = static_cast<std::ptrdiff_t>(out.getSize()) - 1;
      ++line;
    } else if (line != n) {
      breakAtLastCandidate();
      out += c;
      // The characters after the break, c included.
      line = c == kNewline ? 0
                           : out.getSize() - static_cast<std::size_t>(lastBreak + 1);
    } else {
      out += kNewline;
      lastBreak = static_cast<std::ptrdiff_t>(out.getSize()) - 1;
      line = 0;
    }
  }
  if (line > n)
    breakAtLastCandidate();
  return out;
}

bool wrapText(sf::Text& text, const sf::String& string, float width,
              bool monospace) {
  Q_ASSERT(width > 0.f);
  if (!(width > 0.f))
    return false;

  const sf::String previous = text.getString();
  text.setString(" ");
  const float advance = text.getGlobalBounds().width;
  if (advance >= width || advance == 0.f) {
    text.setString(previous);
    return false;
  }

  if (monospace) {
    const auto lineLength = static_cast<std::size_t>(width / advance);
    text.setString(wrapMonospace(string, lineLength));
  } else {
    text.setString(wrapProportional(text, string, width));
  }
  return true;
}

} // namespace sfmlutils
