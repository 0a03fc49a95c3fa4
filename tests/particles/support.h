#pragma once

#include <qutils/vec2.h>

#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace particles_test {

// A blank texture; one more that lives as long as the process keeps SFML's
// shared GL context up (re-creating it again and again under Xvfb fails).
inline std::unique_ptr<sf::Texture> makeTexture(unsigned w, unsigned h) {
  static const sf::Texture keeper;
  (void)keeper;
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

// Difference of two angles in degrees folded into [0, 180].
inline float angleGap(float a, float b) {
  float d = std::fmod(std::fabs(a - b), 360.f);
  return d > 180.f ? 360.f - d : d;
}

inline float angleFrom(const sf::Vector2f& a, const sf::Vector2f& b) {
  return std::atan2(b.y - a.y, b.x - a.x) * 180.f / qutils::kPi;
}

} // namespace particles_test
