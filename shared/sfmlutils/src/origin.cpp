#include "sfmlutils/origin.h"

#include <SFML/Graphics/Shape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

namespace sfmlutils {

namespace {

// Fractions of the local bounds that the origin sits at.
template <typename T>
void anchor(T& drawable, float fx, float fy) {
  const sf::FloatRect b = drawable.getLocalBounds();
  drawable.setOrigin(b.left + b.width * fx, b.top + b.height * fy);
}

} // namespace

void centerOrigin(sf::Shape& shape) { anchor(shape, 0.5f, 0.5f); }
void centerOrigin(sf::Sprite& sprite) { anchor(sprite, 0.5f, 0.5f); }
void centerOrigin(sf::Text& text) { anchor(text, 0.5f, 0.5f); }

void leftCenterOrigin(sf::Shape& shape) { anchor(shape, 0.f, 0.5f); }
void leftCenterOrigin(sf::Sprite& sprite) { anchor(sprite, 0.f, 0.5f); }
void leftCenterOrigin(sf::Text& text) { anchor(text, 0.f, 0.5f); }

void rightCenterOrigin(sf::Shape& shape) { anchor(shape, 1.f, 0.5f); }
void rightCenterOrigin(sf::Sprite& sprite) { anchor(sprite, 1.f, 0.5f); }
void rightCenterOrigin(sf::Text& text) { anchor(text, 1.f, 0.5f); }

void topCenterOrigin(sf::Shape& shape) { anchor(shape, 0.5f, 0.f); }
void topCenterOrigin(sf::Sprite& sprite) { anchor(sprite, 0.5f, 0.f); }
void topCenterOrigin(sf::Text& text) { anchor(text, 0.5f, 0.f); }

void topLeftOrigin(sf::Shape& shape) { anchor(shape, 0.f, 0.f); }
void topLeftOrigin(sf::Sprite& sprite) { anchor(sprite, 0.f, 0.f); }
void topLeftOrigin(sf::Text& text) { anchor(text, 0.f, 0.f); }

void topRightOrigin(sf::Shape& shape) { anchor(shape, 1.f, 0.f); }
void topRightOrigin(sf::Sprite& sprite) { anchor(sprite, 1.f, 0.f); }
void topRightOrigin(sf::Text& text) { anchor(text, 1.f, 0.f); }

} // namespace sfmlutils
