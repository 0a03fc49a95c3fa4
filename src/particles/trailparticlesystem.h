#pragma once

#include "particles/particle.h"

#include <qutils/vec2.h>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Drawable.hpp>

#include <cstddef>
#include <deque>
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
  // The texture must outlive the system; lines are drawn untextured.
  TrailParticleSystem(const sf::Texture& texture, const sf::Color& firstTeamColor,
                      const sf::Color& secondTeamColor);
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
  const std::deque<TrailPoint>& points() const;

  // Test hooks, as for the engine system.
  const sf::VertexArray& vertices() const;
  std::size_t rebuildCount() const;

private:
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

} // namespace pod
