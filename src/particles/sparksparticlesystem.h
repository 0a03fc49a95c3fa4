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

// Bursts of sparks thrown both ways along a collision, drawn as quads at the
// texture's pixel size.
class SparksParticleSystem : public sf::Drawable {
public:
  // Sparks a system holds by default: 32 bursts of the largest size (30),
  // where sparks live at most 0.15 s; collisions come far more sparsely.
  // Should a system still fill up, the oldest sparks make room.
  static constexpr std::size_t cCapacity = 32 * 30;

  // The texture must outlive the system.
  explicit SparksParticleSystem(const sf::Texture& texture, std::size_t capacity = cCapacity);
  ~SparksParticleSystem() override;
  SparksParticleSystem(SparksParticleSystem&&) noexcept;
  SparksParticleSystem& operator=(SparksParticleSystem&&) noexcept;

  // intensity is clamped to [0, 1]; angle in degrees.
  void emit(const qutils::Vec2& position, float intensity, float angle);
  void setTimeScale(float scale);
  void update(float dt);
  void clear();

  float timeScale() const;
  std::size_t particleCount() const;
  const RingBuffer<SparkParticle>& particles() const;

  // Test hooks, as for the engine system.
  void addParticle(const SparkParticle& particle);
  const sf::VertexArray& vertices() const;
  std::size_t rebuildCount() const;

private:
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

} // namespace pod
