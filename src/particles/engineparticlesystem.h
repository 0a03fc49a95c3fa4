#pragma once

#include "particles/particle.h"
#include "particles/ringbuffer.h"

#include <qutils/vec2.h>

#include <SFML/Graphics/Drawable.hpp>

#include <cstddef>
#include <memory>

namespace sf {
class RenderTarget;
class Texture;
class VertexArray;
} // namespace sf

namespace pod {

// Exhaust behind one pod: one particle per millisecond of scaled time while
// thrusting, drawn as textured quads from a 2 x 2 atlas.
class EngineParticleSystem : public sf::Drawable {
public:
  // Longest scaled time the emission accumulator keeps. Time that passes
  // without thrust is released as a burst at the next thrust; the cap bounds
  // that burst to 100 particles (about one full plume) however long the
  // coast, while staying above any real frame so steady thrust is untouched.
  static constexpr float cMaxAccumulator = 0.1f;
  // Particles a system holds by default: a whole capped burst on top of a
  // plume of the longest life (0.085 s), at one per millisecond, is 185.
  // Should a system still fill up, the oldest particles make room.
  static constexpr std::size_t cCapacity = 192;

  // The texture (a square 2 x 2 atlas) must outlive the system.
  explicit EngineParticleSystem(const sf::Texture& texture, std::size_t capacity = cCapacity);
  ~EngineParticleSystem() override;
  EngineParticleSystem(EngineParticleSystem&&) noexcept;
  EngineParticleSystem& operator=(EngineParticleSystem&&) noexcept;

  // thrust in [0, 200]; firstTeam picks the hot and cooling colours.
  void emit(const qutils::Vec2& position, float angle, float thrust, bool firstTeam);
  void setTimeScale(float scale);
  void update(float dt);
  void clear();

  float timeScale() const;
  float accumulator() const;
  std::size_t particleCount() const;
  const RingBuffer<EngineParticle>& particles() const;

  // Test hooks: append a hand-made particle; the vertex array as the next draw
  // would use it (rebuilt here if dirty); how many rebuilds have happened.
  void addParticle(const EngineParticle& particle);
  const sf::VertexArray& vertices() const;
  std::size_t rebuildCount() const;

private:
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

} // namespace pod
