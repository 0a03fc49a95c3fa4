#pragma once

#include <SFML/System/String.hpp>

#include <cstddef>

namespace sf {
class Text;
}

namespace sfmlutils {

// Wraps string to lines of at most width pixels with the font and character
// size already set on text, and stores the result in text. Words are never
// split. Returns false (text untouched) when not even a space fits.
bool wrapText(sf::Text& text, const sf::String& string, float width,
              bool monospace);

// The monospaced wrap on a line length in characters: lines never start with
// a space, a line breaks at its last space once it overflows.
sf::String wrapMonospace(const sf::String& string, std::size_t lineLength);

} // namespace sfmlutils
