#include "particles/particle.h"

#include <qutils/assert.h>

namespace pod {

const TrailSettings& trailSettings(int kind) {
  static const TrailSettings kKinds[] = {
      {sf::Color::White, 0.5f},
  };
  switch (kind) {
  case 0:
    return kKinds[0];
  default:
    Q_ASSERT(false);
    return kKinds[0];
  }
}

sf::Color mixColors(const sf::Color& first, const sf::Color& second, float s) {
  const auto mix = [s](sf::Uint8 a, sf::Uint8 b) {
    return static_cast<sf::Uint8>(static_cast<float>(a) * (1.f - s) +
                                  static_cast<float>(b) * s);
  };
  return {mix(first.r, second.r), mix(first.g, second.g), mix(first.b, second.b),
          mix(first.a, second.a)};
}

} // namespace pod
