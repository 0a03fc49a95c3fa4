#pragma once

#include <qutils/vec2.h>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace particles_test {

// SFML 2.5 drops its shared GL context whenever the last GL resource dies;
// under Xvfb with Mesa, re-creating it again and again soon fails to open the
// display. One texture that lives as long as the process keeps it up.
inline void keepGlContextAlive() {
  static const sf::Texture keeper;
  (void)keeper;
}

// A blank texture of the given size (needs the display).
inline std::unique_ptr<sf::Texture> makeTexture(unsigned w, unsigned h) {
  keepGlContextAlive();
  auto texture = std::make_unique<sf::Texture>();
  EXPECT_TRUE(texture->create(w, h));
  return texture;
}

inline sf::Vector2f quadCenter(const sf::VertexArray& v, std::size_t quad) {
  sf::Vector2f c;
  for (std::size_t k = 0; k < 4; ++k)
    c += v[quad * 4 + k].position;
  return c / 4.f;
}

// Angle in degrees of b seen from a, in [0, 360).
inline float angleFrom(const sf::Vector2f& a, const sf::Vector2f& b) {
  float deg = std::atan2(b.y - a.y, b.x - a.x) * 180.f / qutils::kPi;
  return deg < 0.f ? deg + 360.f : deg;
}

// Difference of two angles folded into [0, 180].
inline float angleGap(float a, float b) {
  float d = std::fmod(std::fabs(a - b), 360.f);
  return d > 180.f ? 360.f - d : d;
}

inline float length(const sf::Vector2f& v) { return std::sqrt(v.x * v.x + v.y * v.y); }

} // namespace particles_test
