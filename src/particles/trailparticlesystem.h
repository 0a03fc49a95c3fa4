#pragma once

#include "particles/particle.h"
#include "particles/ringbuffer.h"

#include <qutils/vec2.h>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Drawable.hpp>

#include <cstddef>
#include <memory>

namespace sf {
class RenderTarget;
class Texture;
class VertexArray;
} // namespace sf

namespace pod {

// Fading lines behind the pods. The driver appends one point per pod in a
// fixed cyclic order and sets the stride to the points per cycle, so point i
// and point i - stride belong to the same pod.
class TrailParticleSystem : public sf::Drawable {
public:
  // Points a system holds by default: a point per pod per frame, for eight
  // pods at 60 frames per second over the 0.5 s lifetime, is 240. Should a
  // system still fill up (faster frames), the oldest points make room; the
  // pairs of points a stride apart still belong to one pod.
  static constexpr std::size_t cCapacity = 256;

  // The texture must outlive the system; lines are drawn untextured.
  TrailParticleSystem(const sf::Texture& texture, const sf::Color& firstTeamColor,
                      const sf::Color& secondTeamColor, std::size_t capacity = cCapacity);
  ~TrailParticleSystem() override;
  TrailParticleSystem(TrailParticleSystem&&) noexcept;
  TrailParticleSystem& operator=(TrailParticleSystem&&) noexcept;

  // team 0 and 1 pick the team colours; any other index draws opaque black.
  void addPoint(const qutils::Vec2& position, int team);
  void setSegmentStride(int stride);
  void setTimeScale(float scale);
  void update(float dt);
  void clear();

  int segmentStride() const;
  float timeScale() const;
  float lifetime() const;
  std::size_t pointCount() const;
  const RingBuffer<TrailPoint>& points() const;

  // Test hooks, as for the engine system.
  const sf::VertexArray& vertices() const;
  std::size_t rebuildCount() const;

private:
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

} // namespace pod
