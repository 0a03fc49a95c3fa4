#include "particles/engineparticlesystem.h"

#include <qutils/random.h>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <algorithm>
#include <cmath>

namespace pod {

namespace {

constexpr float cEmitPeriod = 0.001f;     // one particle per millisecond
constexpr float cColorLife = 0.075f;      // colours run against this, not the own life
constexpr float cMaxThrust = 200.f;
constexpr float cLongestLife = 0.075f + 0.01f;

static_assert(EngineParticleSystem::cCapacity >=
              (EngineParticleSystem::cMaxAccumulator + cLongestLife) / cEmitPeriod + 1.f);

const sf::Color cBirth(204, 205, 204, 32);
const sf::Color cHotFirst(35, 91, 217, 255);
const sf::Color cHotSecond(177, 36, 21, 255);
const sf::Color cCoolingFirst(1, 8, 25, 200);
const sf::Color cCoolingSecond(25, 8, 1, 200);
const sf::Color cDeath(25, 8, 1, 0);

sf::Color particleColor(const EngineParticle& p) {
  using qutils::inverseLerp;
  const float c = p.remaining / cColorLife;
  const sf::Color& hot = p.firstTeam ? cHotFirst : cHotSecond;
  const sf::Color& cooling = p.firstTeam ? cCoolingFirst : cCoolingSecond;
  if (c > 0.76f)
    return mixColors(cBirth, hot, inverseLerp(1.f, 0.76f, c));
  if (c > 0.25f)
    return mixColors(hot, cooling, inverseLerp(0.76f, 0.25f, c));
  return mixColors(cooling, cDeath, inverseLerp(0.25f, 0.f, c));
}

float sizeFactor(const EngineParticle& p) {
  using qutils::inverseLerp;
  using qutils::lerp;
  const float r = p.remaining / p.total;
  if (r > 0.76f)
    return lerp(0.5f, 0.9f, inverseLerp(1.f, 0.76f, r));
  if (r > 0.25f)
    return lerp(0.9f, 1.0f, inverseLerp(0.76f, 0.25f, r));
  return lerp(1.0f, 2.0f, inverseLerp(0.25f, 0.f, r));
}

} // namespace

struct EngineParticleSystem::Impl {
  Impl(const sf::Texture& tex, std::size_t capacity)
      : particles(capacity), texture(tex), vertices(sf::Quads) {
    // Full size once, so that rebuilds never grow it.
    vertices.resize(particles.capacity() * 4);
    vertices.clear();
  }

  void rebuild();

  RingBuffer<EngineParticle> particles;
  const sf::Texture& texture;
  sf::VertexArray vertices;
  bool dirty = true;
  float accumulator = 0.f;
  float timeScale = 0.f;
  std::size_t rebuilds = 0;
};

void EngineParticleSystem::Impl::rebuild() {
  const float w = static_cast<float>(texture.getSize().x);
  const float half = w / 2.f;
  // Atlas frames 0..3: (0,0), (W/2,0), (0,W/2), (W/2,W/2).
  const sf::Vector2f frameOrigin[4] = {{0.f, 0.f}, {half, 0.f}, {0.f, half}, {half, half}};

  vertices.resize(particles.size() * 4); // storage is reused between frames
  std::size_t v = 0;
  for (const EngineParticle& p : particles) {
    const qutils::Vec2 pos = particlePosition(p.start, p.velocity, p.total, p.remaining);
    const sf::Color color = particleColor(p);
    const float d = std::fabs(sizeFactor(p) * p.sizeScale * half);

    // Corners at rotation + 135, 45, 315, 225: one turn of a quarter each, so
    // one sine and cosine serve all four.
    const float a = qutils::degToRad(p.rotation + 135.f);
    const float cx = std::cos(a) * d;
    const float cy = std::sin(a) * d;
    const sf::Vector2f center(pos.x, pos.y);
    const sf::Vector2f corner[4] = {
        center + sf::Vector2f(cx, cy),   // + 135
        center + sf::Vector2f(cy, -cx),  // + 45
        center + sf::Vector2f(-cx, -cy), // + 315
        center + sf::Vector2f(-cy, cx),  // + 225
    };
    const sf::Vector2f t0 = frameOrigin[p.frame & 3u];
    const sf::Vector2f tex[4] = {
        t0, {t0.x + half, t0.y}, {t0.x + half, t0.y + half}, {t0.x, t0.y + half}};
    for (int k = 0; k < 4; ++k) {
      sf::Vertex& vx = vertices[v++];
      vx.position = corner[k];
      vx.color = color;
      vx.texCoords = tex[k];
    }
  }
  dirty = false;
  ++rebuilds;
}

EngineParticleSystem::EngineParticleSystem(const sf::Texture& texture, std::size_t capacity)
    : impl_(std::make_unique<Impl>(texture, capacity)) {}

EngineParticleSystem::~EngineParticleSystem() = default;
EngineParticleSystem::EngineParticleSystem(EngineParticleSystem&&) noexcept = default;
EngineParticleSystem& EngineParticleSystem::operator=(EngineParticleSystem&&) noexcept = default;

void EngineParticleSystem::emit(const qutils::Vec2& position, float angle, float thrust,
                                bool firstTeam) {
  if (thrust == 0.f)
    return;
  using qutils::lerp;
  const float t = qutils::inverseLerp(0.f, cMaxThrust, thrust);
  const float speed = lerp(600.f, 2000.f, t);
  const float baseLife = lerp(0.025f, 0.075f, t);
  const float sizeScale = lerp(0.5f, 1.0f, t);
  const qutils::Vec2 behind = qutils::Vec2::fromAngle(angle + 180.f);

  Impl& s = *impl_;
  while (s.accumulator >= cEmitPeriod) {
    s.accumulator -= cEmitPeriod;
    EngineParticle p;
    // Draw order matters for repeatable effects: spread, life, frame, rotation.
    const qutils::Vec2 dir = behind.rotated(qutils::randomFloat01() * 70.f - 35.f).normalised();
    p.velocity = dir * speed;
    p.start = position;
    p.total = baseLife + qutils::randomFloat(0.f, 0.01f);
    p.remaining = p.total;
    p.frame = static_cast<std::uint32_t>(qutils::randomInt(0, 3));
    p.rotation = qutils::randomFloat(-15.f, 15.f);
    p.sizeScale = sizeScale;
    p.firstTeam = firstTeam;
    s.particles.push_back(p);
    s.dirty = true;
  }
}

void EngineParticleSystem::setTimeScale(float scale) { impl_->timeScale = scale; }

void EngineParticleSystem::update(float dt) {
  Impl& s = *impl_;
  const float scaled = dt * s.timeScale;
  ageParticles(s.particles, scaled);
  s.accumulator = std::min(s.accumulator + scaled, cMaxAccumulator);
  s.dirty = true;
}

void EngineParticleSystem::clear() {
  Impl& s = *impl_;
  s.particles.clear();
  s.vertices.clear();
  s.accumulator = 0.f;
  s.dirty = true;
}

float EngineParticleSystem::timeScale() const { return impl_->timeScale; }
float EngineParticleSystem::accumulator() const { return impl_->accumulator; }
std::size_t EngineParticleSystem::particleCount() const { return impl_->particles.size(); }
const RingBuffer<EngineParticle>& EngineParticleSystem::particles() const {
  return impl_->particles;
}

void EngineParticleSystem::addParticle(const EngineParticle& particle) {
  impl_->particles.push_back(particle);
  impl_->dirty = true;
}

const sf::VertexArray& EngineParticleSystem::vertices() const {
  if (impl_->dirty)
    impl_->rebuild();
  return impl_->vertices;
}

std::size_t EngineParticleSystem::rebuildCount() const { return impl_->rebuilds; }

void EngineParticleSystem::draw(sf::RenderTarget& target, sf::RenderStates states) const {
  states.texture = &impl_->texture;
  target.draw(vertices(), states);
}

} // namespace pod
