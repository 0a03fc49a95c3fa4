#include "particles/sparksparticlesystem.h"
#include "support.h"

#include <SFML/Graphics/RenderTexture.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace particles_test;
using pod::SparkParticle;
using pod::SparksParticleSystem;
using qutils::Vec2;

namespace {

class SparksTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::srand(2024);
    texture_ = makeTexture(16, 8);
    system_ = std::make_unique<SparksParticleSystem>(*texture_);
    system_->setTimeScale(1.f);
  }

  static SparkParticle spark(float remaining, float total, float angle = 0.f) {
    SparkParticle p;
    p.remaining = remaining;
    p.total = total;
    p.angle = angle;
    return p;
  }

  std::unique_ptr<sf::Texture> texture_;
  std::unique_ptr<SparksParticleSystem> system_;
};

} // namespace

TEST_F(SparksTest, BurstSizeSpeedAndLifeFollowIntensity) {
  struct Case {
    float intensity;
    float k;
    std::size_t minCount, maxCount; // [trunc(5k), trunc(30k)]
  };
  const Case cases[] = {
      {0.f, 0.3f, 1, 9},
      {-3.f, 0.3f, 1, 9}, // clamped to 0
      {1.f, 1.f, 5, 30},
      {7.f, 1.f, 5, 30},  // clamped to 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.intensity);
    std::size_t seenMin = 1000, seenMax = 0;
    for (int burst = 0; burst < 400; ++burst) {
      system_->clear();
      system_->emit({5.f, 6.f}, c.intensity, 0.f);
      const std::size_t n = system_->particleCount();
      seenMin = std::min(seenMin, n);
      seenMax = std::max(seenMax, n);
      for (const SparkParticle& p : system_->particles()) {
        const float speed = p.velocity.length();
        EXPECT_GE(speed, 12000.f * c.k - 0.5f);
        EXPECT_LE(speed, 16000.f * c.k + 0.5f);
        EXPECT_GE(p.total, 0.05f * c.k - 1e-6f);
        EXPECT_LE(p.total, 0.15f * c.k + 1e-6f);
        EXPECT_EQ(p.remaining, p.total);
        EXPECT_EQ(p.start, Vec2(5.f, 6.f));
      }
    }
    // Both ends of the integer range are reachable, nothing outside it.
    EXPECT_EQ(seenMin, c.minCount);
    EXPECT_EQ(seenMax, c.maxCount);
  }
}

TEST_F(SparksTest, SparksGoBothWaysAlongTheImpactDirection) {
  const float angle = 330.f;
  int forward = 0, backward = 0;
  for (int burst = 0; burst < 50; ++burst)
    system_->emit({0.f, 0.f}, 1.f, angle);

  for (const SparkParticle& p : system_->particles()) {
    // Forward: [285, 375]; backward: +180, brought back under 360: [105, 195].
    const bool isForward = p.angle >= 285.f - 1e-3f && p.angle <= 375.f + 1e-3f;
    const bool isBackward = p.angle >= 105.f - 1e-3f && p.angle <= 195.f + 1e-3f;
    EXPECT_TRUE(isForward || isBackward) << p.angle;
    forward += isForward;
    backward += isBackward;
    EXPECT_LE(angleGap(p.velocity.angle(), p.angle), 1e-2f);
  }
  EXPECT_GT(forward, 0);
  EXPECT_GT(backward, 0);
}

TEST_F(SparksTest, AlphaFadesOverOwnLifeTruncated) {
  const float total = 0.1f;
  const float remaining[] = {total, 0.5f * total, 0.f, -0.5f * total};
  const int alpha[] = {255, 255 / 2, 0, 0}; // 127.5 truncates to 127
  for (float r : remaining)
    system_->addParticle(spark(r, total));
  const sf::VertexArray& v = system_->vertices();
  ASSERT_EQ(v.getVertexCount(), 16u);
  for (std::size_t q = 0; q < 4; ++q)
    for (std::size_t k = 0; k < 4; ++k) {
      EXPECT_EQ(v[q * 4 + k].color, sf::Color(255, 255, 255, static_cast<sf::Uint8>(alpha[q])))
          << "spark " << q << " vertex " << k;
    }
}

TEST_F(SparksTest, QuadIsTextureSizedRotatedAndMovedInClosedForm) {
  SparkParticle p = spark(0.03f, 0.1f, 90.f);
  p.start = {10.f, 20.f};
  p.velocity = {100.f, 300.f};
  system_->addParticle(p);
  const sf::VertexArray& v = system_->vertices();
  ASSERT_EQ(v.getVertexCount(), 4u);
  EXPECT_EQ(v.getPrimitiveType(), sf::Quads);

  // Elapsed 0.07 s; corners (-8,-4), (8,-4), (8,4), (-8,4) turned a quarter.
  const sf::Vector2f at(10.f + 7.f, 20.f + 21.f);
  const sf::Vector2f corner[4] = {{4.f, -8.f}, {4.f, 8.f}, {-4.f, 8.f}, {-4.f, -8.f}};
  const sf::Vector2f tex[4] = {{0.f, 0.f}, {16.f, 0.f}, {16.f, 8.f}, {0.f, 8.f}};
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_NEAR(v[k].position.x, at.x + corner[k].x, 1e-3f) << k;
    EXPECT_NEAR(v[k].position.y, at.y + corner[k].y, 1e-3f) << k;
    EXPECT_EQ(v[k].texCoords, tex[k]) << k;
  }
}

TEST_F(SparksTest, AgeingExpiresFromTheFrontAndClearEmptiesTheDrawing) {
  system_->addParticle(spark(0.5f, 0.5f));
  system_->addParticle(spark(0.25f, 0.25f));
  system_->addParticle(spark(0.75f, 0.75f));
  system_->setTimeScale(0.5f);
  system_->update(0.75f); // 0.375 of spark time
  EXPECT_EQ(system_->particleCount(), 3u);
  system_->update(0.25f);
  EXPECT_EQ(system_->particleCount(), 1u); // front died, the dead one behind it with it
  EXPECT_FLOAT_EQ(system_->particles().front().remaining, 0.25f);

  system_->setTimeScale(0.f);
  system_->update(10.f);
  EXPECT_EQ(system_->particleCount(), 1u);

  const std::size_t rebuilds = system_->rebuildCount();
  system_->update(0.f);
  EXPECT_EQ(system_->vertices().getVertexCount(), 4u);
  EXPECT_EQ(system_->rebuildCount(), rebuilds + 1);

  system_->clear();
  EXPECT_EQ(system_->particleCount(), 0u);
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);
}

TEST_F(SparksTest, DrawRebuildsOnceAfterEachBurst) {
  sf::RenderTexture target;
  ASSERT_TRUE(target.create(64, 64));
  system_->emit({32.f, 32.f}, 0.5f, 45.f);
  const std::size_t before = system_->rebuildCount();
  target.draw(*system_);
  target.draw(*system_);
  EXPECT_EQ(system_->rebuildCount(), before + 1);
  system_->emit({32.f, 32.f}, 0.5f, 45.f);
  target.draw(*system_);
  EXPECT_EQ(system_->rebuildCount(), before + 2);
}
