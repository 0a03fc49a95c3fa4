#include "particles/trailparticlesystem.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <algorithm>
#include <cstddef>

namespace pod {

struct TrailParticleSystem::Impl {
  Impl(const sf::Texture& tex, const sf::Color& first, const sf::Color& second,
       std::size_t capacity)
      : points(capacity), texture(tex), vertices(sf::Lines), teamColors{first, second} {
    // Full size once, so that rebuilds never grow it.
    vertices.resize(points.capacity() * 2);
    vertices.clear();
  }

  void rebuild();

  RingBuffer<TrailPoint> points;
  const sf::Texture& texture; // kept for the owner's bookkeeping; lines are untextured
  sf::VertexArray vertices;
  bool dirty = true;
  sf::Color teamColors[2];
  float lifetime = trailSettings(0).lifetime;
  float timeScale = 0.f;
  int stride = 0;
  std::size_t rebuilds = 0;
};

void TrailParticleSystem::Impl::rebuild() {
  const std::size_t n = points.size();
  if (stride <= 0 || static_cast<std::size_t>(stride) >= n) {
    vertices.clear();
  } else {
    const std::size_t s = static_cast<std::size_t>(stride);
    vertices.resize((n - s) * 2);
    std::size_t v = 0;
    for (std::size_t i = s; i < n; ++i) {
      const TrailPoint& head = points[i];
      const TrailPoint& tail = points[i - s];
      sf::Color color = head.color;
      color.a = static_cast<sf::Uint8>(255.f * std::max(0.f, head.remaining / lifetime));
      vertices[v++] = sf::Vertex({tail.position.x, tail.position.y}, color);
      vertices[v++] = sf::Vertex({head.position.x, head.position.y}, color);
    }
  }
  dirty = false;
  ++rebuilds;
}

TrailParticleSystem::TrailParticleSystem(const sf::Texture& texture,
                                         const sf::Color& firstTeamColor,
                                         const sf::Color& secondTeamColor, std::size_t capacity)
    : impl_(std::make_unique<Impl>(texture, firstTeamColor, secondTeamColor, capacity)) {}

TrailParticleSystem::~TrailParticleSystem() = default;
TrailParticleSystem::TrailParticleSystem(TrailParticleSystem&&) noexcept = default;
TrailParticleSystem& TrailParticleSystem::operator=(TrailParticleSystem&&) noexcept = default;

void TrailParticleSystem::addPoint(const qutils::Vec2& position, int team) {
  Impl& s = *impl_;
  TrailPoint p;
  p.position = position;
  p.color = (team == 0 || team == 1) ? s.teamColors[team] : sf::Color::Black;
  p.remaining = s.lifetime;
  s.points.push_back(p);
  s.dirty = true;
}

void TrailParticleSystem::setSegmentStride(int stride) {
  impl_->stride = stride;
  impl_->dirty = true;
}

void TrailParticleSystem::setTimeScale(float scale) { impl_->timeScale = scale; }

void TrailParticleSystem::update(float dt) {
  ageParticles(impl_->points, dt * impl_->timeScale);
  impl_->dirty = true;
}

void TrailParticleSystem::clear() {
  impl_->points.clear();
  impl_->vertices.clear();
  impl_->dirty = true;
}

int TrailParticleSystem::segmentStride() const { return impl_->stride; }
float TrailParticleSystem::timeScale() const { return impl_->timeScale; }
float TrailParticleSystem::lifetime() const { return impl_->lifetime; }
std::size_t TrailParticleSystem::pointCount() const { return impl_->points.size(); }
const RingBuffer<TrailPoint>& TrailParticleSystem::points() const { return impl_->points; }

const sf::VertexArray& TrailParticleSystem::vertices() const {
  if (impl_->dirty)
    impl_->rebuild();
  return impl_->vertices;
}

std::size_t TrailParticleSystem::rebuildCount() const { return impl_->rebuilds; }

void TrailParticleSystem::draw(sf::RenderTarget& target, sf::RenderStates states) const {
  states.texture = nullptr;
  target.draw(vertices(), states);
}

} // namespace pod
