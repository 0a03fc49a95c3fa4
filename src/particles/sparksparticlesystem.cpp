#include "particles/sparksparticlesystem.h"

#include <qutils/random.h>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <cmath>

namespace pod {

struct SparksParticleSystem::Impl {
  Impl(const sf::Texture& tex, std::size_t capacity)
      : particles(capacity), texture(tex), vertices(sf::Quads) {
    // Full size once, so that rebuilds never grow it.
    vertices.resize(particles.capacity() * 4);
    vertices.clear();
  }

  void rebuild();

  RingBuffer<SparkParticle> particles;
  const sf::Texture& texture;
  sf::VertexArray vertices;
  bool dirty = true;
  float timeScale = 0.f;
  std::size_t rebuilds = 0;
};

void SparksParticleSystem::Impl::rebuild() {
  const float w = static_cast<float>(texture.getSize().x);
  const float h = static_cast<float>(texture.getSize().y);
  const sf::Vector2f local[4] = {{-w / 2, -h / 2}, {w / 2, -h / 2}, {w / 2, h / 2}, {-w / 2, h / 2}};
  const sf::Vector2f tex[4] = {{0.f, 0.f}, {w, 0.f}, {w, h}, {0.f, h}};

  vertices.resize(particles.size() * 4);
  std::size_t v = 0;
  for (const SparkParticle& p : particles) {
    const qutils::Vec2 pos = particlePosition(p.start, p.velocity, p.total, p.remaining);
    const float fade = qutils::inverseLerp(0.f, p.total, p.remaining);
    const sf::Color color(255, 255, 255, static_cast<sf::Uint8>(255.f * fade));
    const float a = qutils::degToRad(p.angle);
    const float c = std::cos(a);
    const float s = std::sin(a);
    for (int k = 0; k < 4; ++k) {
      sf::Vertex& vx = vertices[v++];
      vx.position = {pos.x + local[k].x * c - local[k].y * s,
                     pos.y + local[k].y * c + local[k].x * s};
      vx.color = color;
      vx.texCoords = tex[k];
    }
  }
  dirty = false;
  ++rebuilds;
}

SparksParticleSystem::SparksParticleSystem(const sf::Texture& texture, std::size_t capacity)
    : impl_(std::make_unique<Impl>(texture, capacity)) {}

SparksParticleSystem::~SparksParticleSystem() = default;
SparksParticleSystem::SparksParticleSystem(SparksParticleSystem&&) noexcept = default;
SparksParticleSystem& SparksParticleSystem::operator=(SparksParticleSystem&&) noexcept = default;

void SparksParticleSystem::emit(const qutils::Vec2& position, float intensity, float angle) {
  const float k = qutils::lerp(0.3f, 1.0f, intensity);
  const int count = qutils::randomInt(static_cast<int>(5.f * k), static_cast<int>(30.f * k));
  if (count < 1)
    return;
  Impl& s = *impl_;
  for (int i = 0; i < count; ++i) {
    // Draw order matters for repeatable effects: spread, side, speed, life.
    float a = angle + qutils::randomFloat01() * 90.f - 45.f;
    if (qutils::randomFloat01() > 0.5f) {
      a += 180.f;
      if (a > 360.f)
        a -= 360.f;
    }
    const float speed = (qutils::randomFloat01() * 4000.f + 12000.f) * k;
    SparkParticle p;
    p.start = position;
    p.velocity = qutils::Vec2::fromAngle(a) * speed;
    p.total = 0.05f * k + (0.15f * k - 0.05f * k) * qutils::randomFloat01();
    p.remaining = p.total;
    p.angle = a;
    s.particles.push_back(p);
  }
  s.dirty = true;
}

void SparksParticleSystem::setTimeScale(float scale) { impl_->timeScale = scale; }

void SparksParticleSystem::update(float dt) {
  ageParticles(impl_->particles, dt * impl_->timeScale);
  impl_->dirty = true;
}

void SparksParticleSystem::clear() {
  impl_->particles.clear();
  impl_->vertices.clear();
  impl_->dirty = true;
}

float SparksParticleSystem::timeScale() const { return impl_->timeScale; }
std::size_t SparksParticleSystem::particleCount() const { return impl_->particles.size(); }
const RingBuffer<SparkParticle>& SparksParticleSystem::particles() const {
  return impl_->particles;
}

void SparksParticleSystem::addParticle(const SparkParticle& particle) {
  impl_->particles.push_back(particle);
  impl_->dirty = true;
}

const sf::VertexArray& SparksParticleSystem::vertices() const {
  if (impl_->dirty)
    impl_->rebuild();
  return impl_->vertices;
}

std::size_t SparksParticleSystem::rebuildCount() const { return impl_->rebuilds; }

void SparksParticleSystem::draw(sf::RenderTarget& target, sf::RenderStates states) const {
  states.texture = &impl_->texture;
  target.draw(vertices(), states);
}

} // namespace pod
