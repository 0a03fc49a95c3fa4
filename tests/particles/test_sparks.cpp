#include "particles/sparksparticlesystem.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace particles_test;
using pod::SparkParticle;
using pod::SparksParticleSystem;

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
    float intensity, k;
    std::size_t minCount, maxCount; // [trunc(5k), trunc(30k)]
  };
  const Case cases[] = {{0.f, 0.3f, 1, 9}, {-3.f, 0.3f, 1, 9}, {1.f, 1.f, 5, 30}, {7.f, 1.f, 5, 30}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.intensity);
    std::size_t seenMin = 1000, seenMax = 0;
    for (int burst = 0; burst < 400; ++burst) {
      system_->clear();
      system_->emit({5.f, 6.f}, c.intensity, 0.f);
      seenMin = std::min(seenMin, system_->particleCount());
      seenMax = std::max(seenMax, system_->particleCount());
      for (const SparkParticle& p : system_->particles()) {
        EXPECT_GE(p.velocity.length(), 12000.f * c.k - 0.5f);
        EXPECT_LE(p.velocity.length(), 16000.f * c.k + 0.5f);
        EXPECT_GE(p.total, 0.05f * c.k - 1e-6f);
        EXPECT_LE(p.total, 0.15f * c.k + 1e-6f);
      }
    }
    EXPECT_EQ(seenMin, c.minCount); // both ends reachable, nothing outside
    EXPECT_EQ(seenMax, c.maxCount);
  }
}

TEST_F(SparksTest, SparksGoBothWaysAlongTheImpactDirection) {
  int way[2] = {0, 0};
  for (int burst = 0; burst < 50; ++burst)
    system_->emit({0.f, 0.f}, 1.f, 330.f);
  for (const SparkParticle& p : system_->particles()) {
    // Forward: [285, 375]; backward: +180, brought back under 360: [105, 195].
    const bool forward = p.angle >= 285.f - 1e-3f && p.angle <= 375.f + 1e-3f;
    EXPECT_TRUE(forward || (p.angle >= 105.f - 1e-3f && p.angle <= 195.f + 1e-3f)) << p.angle;
    ++way[forward];
    EXPECT_LE(angleGap(p.velocity.angle(), p.angle), 1e-2f);
  }
  EXPECT_GT(way[0], 0);
  EXPECT_GT(way[1], 0);
}

TEST_F(SparksTest, QuadIsTextureSizedRotatedMovedAndFadedOverOwnLife) {
  SparkParticle p = spark(0.03f, 0.1f, 90.f);
  p.start = {10.f, 20.f};
  p.velocity = {100.f, 300.f};
  system_->addParticle(p);
  for (float r : {0.1f, 0.05f, 0.f, -0.05f})
    system_->addParticle(spark(r, 0.1f));
  const sf::VertexArray& v = system_->vertices();
  ASSERT_EQ(v.getVertexCount(), 20u);

  // Elapsed 0.07 s; corners (-8,-4), (8,-4), (8,4), (-8,4) turned a quarter.
  const sf::Vector2f at(10.f + 7.f, 20.f + 21.f);
  const sf::Vector2f corner[4] = {{4.f, -8.f}, {4.f, 8.f}, {-4.f, 8.f}, {-4.f, -8.f}};
  const sf::Vector2f tex[4] = {{0.f, 0.f}, {16.f, 0.f}, {16.f, 8.f}, {0.f, 8.f}};
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_NEAR(v[k].position.x, at.x + corner[k].x, 1e-3f) << k;
    EXPECT_NEAR(v[k].position.y, at.y + corner[k].y, 1e-3f) << k;
    EXPECT_EQ(v[k].texCoords, tex[k]) << k;
  }
  const int alpha[] = {255, 127, 0, 0}; // 127.5 truncates
  for (std::size_t q = 0; q < 4; ++q)
    EXPECT_EQ(v[(q + 1) * 4 + 3].color, sf::Color(255, 255, 255, sf::Uint8(alpha[q]))) << q;
}

TEST_F(SparksTest, AgeingFollowsTheTimeScaleAndClearEmptiesTheDrawing) {
  system_->addParticle(spark(0.5f, 0.5f));
  system_->addParticle(spark(0.75f, 0.75f));
  system_->setTimeScale(0.5f);
  system_->update(1.f); // 0.5 of spark time: the front dies
  ASSERT_EQ(system_->particleCount(), 1u);
  EXPECT_FLOAT_EQ(system_->particles().front().remaining, 0.25f);
  system_->clear();
  EXPECT_EQ(system_->particleCount(), 0u);
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);
}
