#include "particles/engineparticlesystem.h"
#include "support.h"

#include <qutils/random.h>

#include <SFML/Graphics/RenderTexture.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

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

  // A particle at rest at the origin with the given ages.
  static EngineParticle particle(float remaining, float total, bool firstTeam = true) {
    EngineParticle p;
    p.remaining = remaining;
    p.total = total;
    p.firstTeam = firstTeam;
    return p;
  }

  sf::Color colorOf(const EngineParticle& p) {
    system_->clear();
    system_->addParticle(p);
    const sf::VertexArray& v = system_->vertices();
    EXPECT_EQ(v.getVertexCount(), 4u);
    for (std::size_t k = 1; k < 4; ++k)
      EXPECT_EQ(v[k].color, v[0].color) << "vertex " << k;
    return v[0].color;
  }

  float halfDiagonalOf(const EngineParticle& p) {
    system_->clear();
    system_->addParticle(p);
    const sf::VertexArray& v = system_->vertices();
    const sf::Vector2f c = quadCenter(v, 0);
    for (std::size_t k = 1; k < 4; ++k)
      EXPECT_NEAR(length(v[k].position - c), length(v[0].position - c), 1e-3f);
    return length(v[0].position - c);
  }

  std::unique_ptr<sf::Texture> texture_;
  std::unique_ptr<EngineParticleSystem> system_;
};

void expectColorNear(const sf::Color& actual, const sf::Color& expected, int tolerance) {
  EXPECT_NEAR(actual.r, expected.r, tolerance);
  EXPECT_NEAR(actual.g, expected.g, tolerance);
  EXPECT_NEAR(actual.b, expected.b, tolerance);
  EXPECT_NEAR(actual.a, expected.a, tolerance);
}

} // namespace

TEST_F(EngineTest, FullThrustForOneFrameEmitsOneParticlePerMillisecond) {
  system_->update(0.016f);
  const Vec2 at(100.f, -40.f);
  system_->emit(at, 30.f, 200.f, true);

  // Floating-point subtraction may leave the sixteenth millisecond short.
  ASSERT_GE(system_->particleCount(), 15u);
  ASSERT_LE(system_->particleCount(), 16u);
  EXPECT_GE(system_->accumulator(), 0.f);
  EXPECT_LT(system_->accumulator(), 0.001f);

  for (const EngineParticle& p : system_->particles()) {
    EXPECT_NEAR(p.velocity.length(), 2000.f, 0.5f);
    EXPECT_GE(p.total, 0.075f);
    EXPECT_LE(p.total, 0.085f);
    EXPECT_EQ(p.remaining, p.total);
    EXPECT_EQ(p.start, at);
    EXPECT_FLOAT_EQ(p.sizeScale, 1.f);
    EXPECT_LE(p.frame, 3u);
    EXPECT_GE(p.rotation, -15.f);
    EXPECT_LE(p.rotation, 15.f);
    EXPECT_TRUE(p.firstTeam);
    // Thrown behind the pod (30 + 180 degrees) within a 70-degree cone.
    EXPECT_LE(angleGap(p.velocity.angle(), 210.f), 35.f + 1e-3f);
  }
}

TEST_F(EngineTest, ThrustScalesSpeedLifeAndSize) {
  struct Case {
    float thrust;
    float speed, minLife, sizeScale; // lerp(600, 2000), lerp(0.025, 0.075), lerp(0.5, 1)
  };
  const Case cases[] = {
      {100.f, 1300.f, 0.05f, 0.75f},
      {1.f, 607.f, 0.02525f, 0.5025f},
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
      EXPECT_FALSE(p.firstTeam);
    }
  }
}

TEST_F(EngineTest, RandomDrawsFollowSpreadLifeFrameRotationOrder) {
  const float angle = 75.f;
  std::srand(99);
  const float spread = qutils::randomFloat01() * 70.f - 35.f;
  const float extraLife = qutils::randomFloat(0.f, 0.01f);
  const int frame = qutils::randomInt(0, 3);
  const float rotation = qutils::randomFloat(-15.f, 15.f);

  std::srand(99);
  system_->update(0.0015f);
  system_->emit({0.f, 0.f}, angle, 200.f, true);
  ASSERT_EQ(system_->particleCount(), 1u);
  const EngineParticle& p = system_->particles().front();
  EXPECT_NEAR(p.velocity.angle(), angle + 180.f + spread, 1e-2f);
  EXPECT_FLOAT_EQ(p.total, 0.075f + extraLife);
  EXPECT_EQ(p.frame, static_cast<std::uint32_t>(frame));
  EXPECT_FLOAT_EQ(p.rotation, rotation);
}

TEST_F(EngineTest, ZeroThrustEmitsNothingAndKeepsTheAccumulator) {
  system_->update(0.05f);
  system_->emit({0.f, 0.f}, 0.f, 0.f, true);
  EXPECT_EQ(system_->particleCount(), 0u);
  EXPECT_FLOAT_EQ(system_->accumulator(), 0.05f);

  // The held time comes out at the next thrust.
  system_->emit({0.f, 0.f}, 0.f, 50.f, true);
  EXPECT_GE(system_->particleCount(), 49u);
  EXPECT_LE(system_->particleCount(), 50u);
}

TEST_F(EngineTest, LongCoastReleasesAtMostTheCappedBurst) {
  for (int frame = 0; frame < 60 * 60; ++frame) // a minute without thrust
    system_->update(1.f / 60.f);
  EXPECT_FLOAT_EQ(system_->accumulator(), EngineParticleSystem::cMaxAccumulator);

  system_->emit({0.f, 0.f}, 0.f, 200.f, true);
  const std::size_t burst = static_cast<std::size_t>(EngineParticleSystem::cMaxAccumulator / 0.001f + 0.5f);
  EXPECT_GE(system_->particleCount(), burst - 1);
  EXPECT_LE(system_->particleCount(), burst);

  // One long update is capped the same way.
  system_->clear();
  system_->update(1000.f);
  EXPECT_FLOAT_EQ(system_->accumulator(), EngineParticleSystem::cMaxAccumulator);
}

TEST_F(EngineTest, ExpiryRemovesFromTheFrontOnly) {
  system_->addParticle(particle(0.5f, 0.5f));    // older, lives longer
  system_->addParticle(particle(0.125f, 0.125f)); // younger, dies first

  system_->update(0.25f);
  ASSERT_EQ(system_->particleCount(), 2u); // the dead one waits behind
  EXPECT_LT(system_->particles().back().remaining, 0.f);
  // A dead particle behind a live one is still drawn, fully faded.
  EXPECT_EQ(system_->vertices().getVertexCount(), 8u);
  EXPECT_EQ(system_->vertices()[4].color.a, 0);

  system_->update(0.25f); // the front reaches exactly 0: gone, and the dead behind it too
  EXPECT_EQ(system_->particleCount(), 0u);
}

TEST_F(EngineTest, UpdateByZeroKeepsParticlesButMarksDirty) {
  system_->update(0.01f);
  system_->emit({0.f, 0.f}, 0.f, 200.f, true);
  const std::size_t count = system_->particleCount();
  ASSERT_GT(count, 0u);
  system_->vertices();
  const std::size_t rebuilds = system_->rebuildCount();

  system_->update(0.f);
  EXPECT_EQ(system_->particleCount(), count);
  system_->vertices();
  EXPECT_EQ(system_->rebuildCount(), rebuilds + 1);
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
  const float remaining = system_->particles().front().remaining;
  const float held = system_->accumulator();
  for (int i = 0; i < 100; ++i)
    system_->update(1.f);
  system_->emit({0.f, 0.f}, 0.f, 200.f, true);
  EXPECT_EQ(system_->particleCount(), 20u);
  EXPECT_EQ(system_->particles().front().remaining, remaining);
  EXPECT_EQ(system_->accumulator(), held);
}

TEST_F(EngineTest, ClearEmptiesParticlesVerticesAndAccumulator) {
  system_->update(0.02f);
  system_->emit({0.f, 0.f}, 0.f, 200.f, true);
  system_->update(0.004f);
  ASSERT_GT(system_->vertices().getVertexCount(), 0u);

  system_->clear();
  EXPECT_EQ(system_->particleCount(), 0u);
  EXPECT_EQ(system_->accumulator(), 0.f);
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);
  system_->emit({0.f, 0.f}, 0.f, 200.f, true);
  EXPECT_EQ(system_->particleCount(), 0u);
}

TEST_F(EngineTest, ColourRunsThroughBirthHotCoolingDeathAgainstFixedLife) {
  const sf::Color birth(204, 205, 204, 32);
  const sf::Color hot1(35, 91, 217, 255), hot2(177, 36, 21, 255);
  const sf::Color cool1(1, 8, 25, 200), cool2(25, 8, 1, 200);
  const sf::Color death(25, 8, 1, 0);
  const float life = 0.075f;

  // Stage ends; the total life plays no part in the colour.
  expectColorNear(colorOf(particle(life, 0.2f)), birth, 0);
  expectColorNear(colorOf(particle(life, 0.2f, false)), birth, 0);
  expectColorNear(colorOf(particle(0.76f * life, 0.2f)), hot1, 1);
  expectColorNear(colorOf(particle(0.76f * life, 0.2f, false)), hot2, 1);
  expectColorNear(colorOf(particle(0.25f * life, 0.2f)), cool1, 1);
  expectColorNear(colorOf(particle(0.25f * life, 0.2f, false)), cool2, 1);
  expectColorNear(colorOf(particle(0.f, 0.2f)), death, 0);
  expectColorNear(colorOf(particle(0.f, 0.2f, false)), death, 0);
  // Older than the fixed life still counts as birth.
  expectColorNear(colorOf(particle(0.08f, 0.08f)), birth, 0);

  // Halfway mixes truncate: x.5 goes down.
  const sf::Color halfBirthHot = colorOf(particle(0.88f * life, 0.2f));
  EXPECT_EQ(halfBirthHot.r, (204 + 35) / 2);
  EXPECT_EQ(halfBirthHot.b, (204 + 217) / 2);
  EXPECT_EQ(halfBirthHot.a, (32 + 255) / 2);
  const sf::Color halfHotCool = colorOf(particle(0.505f * life, 0.2f));
  EXPECT_EQ(halfHotCool.g, (91 + 8) / 2);
  EXPECT_EQ(halfHotCool.a, (255 + 200) / 2);
}

TEST_F(EngineTest, ShortLivedParticleIsBornPastTheBirthColour) {
  const sf::Color c = colorOf(particle(0.05f, 0.05f));
  // c = 0.05 / 0.075 lies between hot and cooling already.
  const float s = (0.05f / 0.075f - 0.76f) / (0.25f - 0.76f);
  EXPECT_NEAR(c.a, 255.f * (1.f - s) + 200.f * s, 1.f);
  EXPECT_NEAR(c.b, 217.f * (1.f - s) + 25.f * s, 1.f);
  EXPECT_LT(c.r, 35 + 1);
}

TEST_F(EngineTest, SizeGrowsThroughStagesOfOwnLife) {
  const float half = 32.f; // W / 2
  const float total = 0.04f;
  EXPECT_NEAR(halfDiagonalOf(particle(total, total)), 0.5f * half, 1e-3f);
  EXPECT_NEAR(halfDiagonalOf(particle(0.76f * total, total)), 0.9f * half, 1e-2f);
  EXPECT_NEAR(halfDiagonalOf(particle(0.25f * total, total)), 1.0f * half, 1e-2f);
  EXPECT_NEAR(halfDiagonalOf(particle(0.f, total)), 2.0f * half, 1e-3f);
  // Dead particles waiting behind older ones do not keep growing.
  EXPECT_NEAR(halfDiagonalOf(particle(-0.5f * total, total)), 2.0f * half, 1e-3f);

  EngineParticle scaled = particle(total, total);
  scaled.sizeScale = 0.5f;
  EXPECT_NEAR(halfDiagonalOf(scaled), 0.25f * half, 1e-3f);
  scaled.sizeScale = -0.5f; // the half-diagonal is a length: no flipped quad
  EXPECT_NEAR(halfDiagonalOf(scaled), 0.25f * half, 1e-3f);
  const sf::VertexArray& v = system_->vertices();
  EXPECT_NEAR(angleGap(angleFrom(quadCenter(v, 0), v[0].position), 135.f), 0.f, 1e-2f);
}

TEST_F(EngineTest, QuadSitsAtClosedFormPositionWithCornersAndAtlasFrames) {
  const float half = 32.f;
  const sf::Vector2f frameOrigin[4] = {{0.f, 0.f}, {half, 0.f}, {0.f, half}, {half, half}};
  const float cornerTurn[4] = {135.f, 45.f, 315.f, 225.f};

  for (std::uint32_t frame = 0; frame < 4; ++frame) {
    SCOPED_TRACE(frame);
    EngineParticle p = particle(0.02f, 0.06f);
    p.start = {100.f, 50.f};
    p.velocity = {1000.f, -500.f};
    p.rotation = 10.f * static_cast<float>(frame) - 12.f;
    p.frame = frame;
    system_->clear();
    system_->addParticle(p);
    const sf::VertexArray& v = system_->vertices();
    ASSERT_EQ(v.getVertexCount(), 4u);
    EXPECT_EQ(v.getPrimitiveType(), sf::Quads);

    const sf::Vector2f c = quadCenter(v, 0);
    EXPECT_NEAR(c.x, 100.f + 1000.f * 0.04f, 1e-3f);
    EXPECT_NEAR(c.y, 50.f - 500.f * 0.04f, 1e-3f);
    for (std::size_t k = 0; k < 4; ++k)
      EXPECT_NEAR(angleGap(angleFrom(c, v[k].position), p.rotation + cornerTurn[k]), 0.f, 1e-2f)
          << "corner " << k;

    const sf::Vector2f o = frameOrigin[frame];
    EXPECT_EQ(v[0].texCoords, o);
    EXPECT_EQ(v[1].texCoords, sf::Vector2f(o.x + half, o.y));
    EXPECT_EQ(v[2].texCoords, sf::Vector2f(o.x + half, o.y + half));
    EXPECT_EQ(v[3].texCoords, sf::Vector2f(o.x, o.y + half));
  }
}

TEST_F(EngineTest, VerticesFollowQueueOrderFrontToBack) {
  EngineParticle a = particle(0.05f, 0.05f);
  a.start = {-10.f, 0.f};
  EngineParticle b = particle(0.05f, 0.05f);
  b.start = {10.f, 0.f};
  system_->addParticle(a);
  system_->addParticle(b);
  const sf::VertexArray& v = system_->vertices();
  ASSERT_EQ(v.getVertexCount(), 8u);
  EXPECT_NEAR(quadCenter(v, 0).x, -10.f, 1e-4f);
  EXPECT_NEAR(quadCenter(v, 1).x, 10.f, 1e-4f);
}

TEST_F(EngineTest, DrawRebuildsOnlyWhenSomethingChanged) {
  sf::RenderTexture target;
  ASSERT_TRUE(target.create(128, 128));
  system_->update(0.01f);
  system_->emit({64.f, 64.f}, 0.f, 200.f, true);
  const std::size_t before = system_->rebuildCount();

  target.draw(*system_);
  target.draw(*system_); // same frame drawn twice
  EXPECT_EQ(system_->rebuildCount(), before + 1);

  system_->update(0.001f);
  target.draw(*system_);
  target.draw(*system_);
  EXPECT_EQ(system_->rebuildCount(), before + 2);
}

TEST_F(EngineTest, DrawPaintsTexturedQuadsAtTheirPositions) {
  sf::Image white;
  white.create(64, 64, sf::Color::White);
  ASSERT_TRUE(texture_->loadFromImage(white));
  sf::RenderTexture target;
  ASSERT_TRUE(target.create(128, 128));
  target.clear(sf::Color::Black);

  EngineParticle p = particle(0.076f * 0.76f, 0.076f); // hot, opaque
  p.start = {32.f, 32.f};
  system_->addParticle(p);
  target.draw(*system_);
  target.display();

  const sf::Image shot = target.getTexture().copyToImage();
  // The engine texture is white, so the hot colour shows where the quad is.
  const sf::Color inside = shot.getPixel(32, 32);
  EXPECT_GT(inside.b, inside.r);
  EXPECT_GT(inside.b, 100);
  const sf::Color away = shot.getPixel(100, 100);
  EXPECT_EQ(away, sf::Color::Black);
}
