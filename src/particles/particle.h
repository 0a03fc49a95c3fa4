#pragma once

#include "particles/ringbuffer.h"

#include <qutils/vec2.h>

#include <SFML/Graphics/Color.hpp>

#include <cstdint>

// Pieces shared by the engine, spark and trail particle systems: the particle
// records, the trail settings and the ageing rule common to all three.

namespace pod {

struct EngineParticle {
  qutils::Vec2 start;
  qutils::Vec2 velocity;
  float sizeScale = 1.f;
  float remaining = 0.f;   // seconds of scaled time
  float total = 0.f;
  float rotation = 0.f;    // degrees
  bool firstTeam = true;
  std::uint32_t frame = 0; // atlas frame, 0 to 3
};

struct SparkParticle {
  qutils::Vec2 start;
  qutils::Vec2 velocity;
  float remaining = 0.f;
  float total = 0.f;
  float angle = 0.f;       // degrees
};

struct TrailPoint {
  qutils::Vec2 position;
  sf::Color color;
  float remaining = 0.f;
};

struct TrailSettings {
  sf::Color color;
  float lifetime = 0.f;
};

// Settings of a trail particle kind; 0 is the only kind. Any other kind is a
// programming error (asserts "false") and falls back to kind 0.
const TrailSettings& trailSettings(int kind);

// Per channel first * (1 - s) + second * s, truncated toward zero.
sf::Color mixColors(const sf::Color& first, const sf::Color& second, float s);

// Position in closed form from the start, so ageing never accumulates error.
inline qutils::Vec2 particlePosition(const qutils::Vec2& start, const qutils::Vec2& velocity,
                                     float total, float remaining) {
  return start + velocity * (total - remaining);
}

// Ages every particle by the scaled time, then expires from the front only:
// a younger particle that dies first waits until every older one has died.
template <class Particle>
void ageParticles(RingBuffer<Particle>& particles, float scaled) {
  particles.forEach([scaled](Particle& p) { p.remaining -= scaled; });
  while (!particles.empty() && particles.front().remaining <= 0.f)
    particles.pop_front();
}

} // namespace pod
