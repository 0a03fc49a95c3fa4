#pragma once

#include <SFML/System/Vector2.hpp>
#include <qutils/vec2.h>

// The program speaks qutils::Vec2; SFML speaks sf::Vector2f.

namespace sfmlutils {

inline sf::Vector2f toSf(const qutils::Vec2& v) { return {v.x, v.y}; }
inline qutils::Vec2 toVec2(const sf::Vector2f& v) { return {v.x, v.y}; }

} // namespace sfmlutils
