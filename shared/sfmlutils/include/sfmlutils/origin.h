#pragma once

namespace sf {
class Shape;
class Sprite;
class Text;
} // namespace sf

// Origin anchoring from the local bounds, offsets included: text bounds start
// below and right of (0, 0), and ignoring that shifts every centred label.

namespace sfmlutils {

void centerOrigin(sf::Shape& shape);
void centerOrigin(sf::Sprite& sprite);
void centerOrigin(sf::Text& text);

void leftCenterOrigin(sf::Shape& shape);
void leftCenterOrigin(sf::Sprite& sprite);
void leftCenterOrigin(sf::Text& text);

void rightCenterOrigin(sf::Shape& shape);
void rightCenterOrigin(sf::Sprite& sprite);
void rightCenterOrigin(sf::Text& text);

void topCenterOrigin(sf::Shape& shape);
void topCenterOrigin(sf::Sprite& sprite);
void topCenterOrigin(sf::Text& text);

void topLeftOrigin(sf::Shape& shape);
void topLeftOrigin(sf::Sprite& sprite);
void topLeftOrigin(sf::Text& text);

void topRightOrigin(sf::Shape& shape);
void topRightOrigin(sf::Sprite& sprite);
void topRightOrigin(sf::Text& text);

} // namespace sfmlutils
