#include "particles/engineparticlesystem.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

using namespace particles_test;
using pod::EngineParticle;
using pod::EngineParticleSystem;
using qutils::Vec2;

namespace {

class EngineTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::srand(12345);
    texture_ = makeTexture(64, 64); // 2 x 2 atlas of 32-pixel frames
    system_ = std::make_unique<EngineParticleSystem>(*texture_);
    system_->setTimeScale(1.f);
  }

  static EngineParticle particle(float remaining, float total, bool firstTeam = true) {
    EngineParticle p;
    p.remaining = remaining;
    p.total = total;
    p.firstTeam = firstTeam;
    return p;
  }

  // Draws p alone; returns its first vertex (all four share the colour).
  sf::Vertex drawAlone(const EngineParticle& p) {
    system_->clear();
    system_->addParticle(p);
    const sf::VertexArray& v = system_->vertices();
    EXPECT_EQ(v.getVertexCount(), 4u);
    for (std::size_t k = 1; k < 4; ++k)
      EXPECT_EQ(v[k].color, v[0].color);
    return v[0];
  }

  float halfDiagonalOf(const EngineParticle& p) {
    const sf::Vector2f corner = drawAlone(p).position;
    const sf::Vector2f d = corner - quadCenter(system_->vertices(), 0);
    return std::hypot(d.x, d.y);
  }

  std::unique_ptr<sf::Texture> texture_;
  std::unique_ptr<EngineParticleSystem> system_;
};

} // namespace

TEST_F(EngineTest, EmissionCountSpeedLifeAndSizeFollowThrust) {
  system_->update(0.016f);
  const Vec2 at(100.f, -40.f);
  system_->emit(at, 30.f, 200.f, true);
  // One per millisecond; floating-point subtraction may leave the last short.
  ASSERT_GE(system_->particleCount(), 15u);
  ASSERT_LE(system_->particleCount(), 16u);
  EXPECT_LT(system_->accumulator(), 0.001f);
  for (const EngineParticle& p : system_->particles()) {
    EXPECT_EQ(p.start, at);
    EXPECT_LE(p.frame, 3u);
    // Thrown behind the pod (30 + 180 degrees) within a 70-degree cone.
    EXPECT_LE(angleGap(p.velocity.angle(), 210.f), 35.f + 1e-3f);
  }

  struct Case {
    float thrust, speed, minLife, sizeScale;
  };
  const Case cases[] = {
      {200.f, 2000.f, 0.075f, 1.f},
      {100.f, 1300.f, 0.05f, 0.75f},
      {400.f, 2000.f, 0.075f, 1.f}, // beyond 200 clamps
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.thrust);
    system_->clear();
    system_->update(0.0105f);
    system_->emit({0.f, 0.f}, 0.f, c.thrust, false);
    ASSERT_EQ(system_->particleCount(), 10u);
    for (const EngineParticle& p : system_->particles()) {
      EXPECT_NEAR(p.velocity.length(), c.speed, 0.5f);
      EXPECT_GE(p.total, c.minLife - 1e-6f);
      EXPECT_LE(p.total, c.minLife + 0.01f + 1e-6f);
      EXPECT_FLOAT_EQ(p.sizeScale, c.sizeScale);
    }
  }
}

TEST_F(EngineTest, ZeroThrustHoldsTimeUpToTheCap) {
  system_->update(0.05f);
  system_->emit({0.f, 0.f}, 0.f, 0.f, true);
  EXPECT_EQ(system_->particleCount(), 0u);
  system_->emit({0.f, 0.f}, 0.f, 50.f, true); // the held time comes out now
  EXPECT_GE(system_->particleCount(), 49u);
  EXPECT_LE(system_->particleCount(), 50u);

  system_->clear();
  for (int frame = 0; frame < 60 * 60; ++frame) // a minute without thrust
    system_->update(1.f / 60.f);
  EXPECT_FLOAT_EQ(system_->accumulator(), EngineParticleSystem::cMaxAccumulator);
  system_->emit({0.f, 0.f}, 0.f, 200.f, true);
  EXPECT_GE(system_->particleCount(), 99u);
  EXPECT_LE(system_->particleCount(), 100u);
}

TEST_F(EngineTest, ExpiryFromTheFrontUpdateZeroMarksDirtyAndClearEmpties) {
  system_->addParticle(particle(0.5f, 0.5f));     // older, lives longer
  system_->addParticle(particle(0.125f, 0.125f)); // younger, dies first
  system_->update(0.25f);
  ASSERT_EQ(system_->particleCount(), 2u); // the dead one waits behind
  EXPECT_EQ(system_->vertices().getVertexCount(), 8u);
  EXPECT_EQ(system_->vertices()[4].color.a, 0); // drawn fully faded

  const std::size_t rebuilds = system_->rebuildCount();
  system_->update(0.f);
  EXPECT_EQ(system_->particleCount(), 2u);
  system_->vertices();
  EXPECT_EQ(system_->rebuildCount(), rebuilds + 1);

  system_->update(0.25f); // the front reaches exactly 0: both go
  EXPECT_EQ(system_->particleCount(), 0u);

  system_->update(0.02f);
  system_->emit({0.f, 0.f}, 0.f, 200.f, true);
  ASSERT_GT(system_->vertices().getVertexCount(), 0u);
  system_->clear();
  EXPECT_EQ(system_->particleCount(), 0u);
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);
  system_->emit({0.f, 0.f}, 0.f, 200.f, true); // nothing held back
  EXPECT_EQ(system_->particleCount(), 0u);
}

TEST_F(EngineTest, TimeScaleScalesAgeingAndEmissionAndZeroFreezes) {
  system_->setTimeScale(0.5f);
  system_->update(0.0205f); // 10.25 ms of particle time
  system_->emit({0.f, 0.f}, 0.f, 200.f, true);
  ASSERT_EQ(system_->particleCount(), 10u);
  const float total = system_->particles().front().total;
  system_->update(0.02f);
  EXPECT_NEAR(system_->particles().front().remaining, total - 0.01f, 1e-6f);
  system_->emit({0.f, 0.f}, 0.f, 200.f, true);
  ASSERT_EQ(system_->particleCount(), 20u);

  system_->setTimeScale(0.f);
  for (int i = 0; i < 100; ++i)
    system_->update(1.f);
  system_->emit({0.f, 0.f}, 0.f, 200.f, true);
  EXPECT_EQ(system_->particleCount(), 20u);
  EXPECT_NEAR(system_->particles().front().remaining, total - 0.01f, 1e-6f);
}

TEST_F(EngineTest, ColourRunsThroughBirthHotCoolingDeathAgainstFixedLife) {
  const sf::Color birth(204, 205, 204, 32);
  const sf::Color hot1(35, 91, 217, 255), hot2(177, 36, 21, 255);
  const sf::Color cool1(1, 8, 25, 200), cool2(25, 8, 1, 200);
  const sf::Color death(25, 8, 1, 0);
  const float life = 0.075f;
  struct Case {
    float remaining;
    bool firstTeam;
    sf::Color colour;
  };
  // The total life (0.2) plays no part in the colour.
  const Case cases[] = {
      {life, true, birth},         {life, false, birth},         {0.76f * life, true, hot1},
      {0.76f * life, false, hot2}, {0.25f * life, true, cool1},  {0.25f * life, false, cool2},
      {0.f, false, death},
      {0.08f, true, birth}, // older than the fixed life still counts as birth
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.remaining);
    const sf::Color got = drawAlone(particle(c.remaining, 0.2f, c.firstTeam)).color;
    for (auto [a, b] : {std::pair(got.r, c.colour.r), {got.g, c.colour.g}, {got.b, c.colour.b},
                        {got.a, c.colour.a}})
      EXPECT_NEAR(a, b, 1);
  }
  // Halfway mixes truncate: x.5 goes down.
  const sf::Color halfBirthHot = drawAlone(particle(0.88f * life, 0.2f)).color;
  EXPECT_EQ(halfBirthHot.r, (204 + 35) / 2);
  EXPECT_EQ(halfBirthHot.a, (32 + 255) / 2);
}

TEST_F(EngineTest, SizeGrowsThroughStagesOfOwnLife) {
  const float half = 32.f;
  const float total = 0.04f;
  const float remaining[] = {total, 0.76f * total, 0.25f * total, 0.f, -0.5f * total};
  const float scale[] = {0.5f, 0.9f, 1.f, 2.f, 2.f}; // the dead do not keep growing
  for (int i = 0; i < 5; ++i)
    EXPECT_NEAR(halfDiagonalOf(particle(remaining[i], total)), scale[i] * half, 1e-2f) << i;

  EngineParticle scaled = particle(total, total);
  scaled.sizeScale = -0.5f; // the half-diagonal is a length: no flipped quad
  EXPECT_NEAR(halfDiagonalOf(scaled), 0.25f * half, 1e-3f);
}

TEST_F(EngineTest, QuadSitsAtClosedFormPositionWithCornersAndAtlasFrames) {
  const float half = 32.f;
  const float cornerTurn[4] = {135.f, 45.f, 315.f, 225.f};
  EngineParticle p = particle(0.02f, 0.06f);
  p.start = {100.f, 50.f};
  p.velocity = {1000.f, -500.f};
  p.rotation = 18.f;
  p.frame = 2; // bottom left of the atlas
  drawAlone(p);
  const sf::VertexArray& v = system_->vertices();
  const sf::Vector2f c = quadCenter(v, 0);
  EXPECT_NEAR(c.x, 100.f + 1000.f * 0.04f, 1e-3f);
  EXPECT_NEAR(c.y, 50.f - 500.f * 0.04f, 1e-3f);
  for (std::size_t k = 0; k < 4; ++k)
    EXPECT_NEAR(angleGap(angleFrom(c, v[k].position), p.rotation + cornerTurn[k]), 0.f, 1e-2f);
  EXPECT_EQ(v[0].texCoords, sf::Vector2f(0.f, half));
  EXPECT_EQ(v[2].texCoords, sf::Vector2f(half, 2.f * half));
}
