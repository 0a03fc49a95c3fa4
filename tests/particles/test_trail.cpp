#include "particles/trailparticlesystem.h"
#include "support.h"

#include <SFML/Graphics/RenderTexture.hpp>

#include <gtest/gtest.h>

using namespace particles_test;
using pod::TrailParticleSystem;
using qutils::Vec2;

namespace {

const sf::Color cFirst(91, 188, 246);
const sf::Color cSecond(154, 41, 41);

class TrailTest : public ::testing::Test {
protected:
  void SetUp() override {
    texture_ = makeTexture(4, 4);
    system_ = std::make_unique<TrailParticleSystem>(*texture_, cFirst, cSecond);
    system_->setTimeScale(1.f);
  }

  void addPoints(int n) {
    for (int i = 0; i < n; ++i)
      system_->addPoint({static_cast<float>(i), static_cast<float>(10 * i)}, 0);
  }

  std::unique_ptr<sf::Texture> texture_;
  std::unique_ptr<TrailParticleSystem> system_;
};

sf::Color withAlpha(sf::Color c, sf::Uint8 a) {
  c.a = a;
  return c;
}

} // namespace

TEST_F(TrailTest, StrideJoinsEachPointToItsPredecessorOfTheSamePod) {
  system_->setSegmentStride(4);
  addPoints(3);
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);
  addPoints(1); // stride equal to the point count: still nothing
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);

  system_->clear();
  addPoints(6);
  const sf::VertexArray& v = system_->vertices();
  EXPECT_EQ(v.getPrimitiveType(), sf::Lines);
  ASSERT_EQ(v.getVertexCount(), 4u);
  const auto& pts = system_->points();
  EXPECT_EQ(v[0].position, sf::Vector2f(pts[0].position.x, pts[0].position.y)); // 4 - 0
  EXPECT_EQ(v[1].position, sf::Vector2f(pts[4].position.x, pts[4].position.y));
  EXPECT_EQ(v[2].position, sf::Vector2f(pts[1].position.x, pts[1].position.y)); // 5 - 1
  EXPECT_EQ(v[3].position, sf::Vector2f(pts[5].position.x, pts[5].position.y));

  for (int stride : {0, -2}) {
    system_->setSegmentStride(stride);
    EXPECT_EQ(system_->vertices().getVertexCount(), 0u) << stride;
  }
  system_->setSegmentStride(1);
  EXPECT_EQ(system_->vertices().getVertexCount(), 10u);
}

TEST_F(TrailTest, PointsTakeTheirTeamColourAndOthersOpaqueBlack) {
  EXPECT_FLOAT_EQ(system_->lifetime(), 0.5f);
  system_->setSegmentStride(1);
  system_->addPoint({0.f, 0.f}, 0);
  system_->addPoint({1.f, 0.f}, 0);
  system_->addPoint({2.f, 0.f}, 1);
  system_->addPoint({3.f, 0.f}, 2);
  system_->addPoint({4.f, 0.f}, -1);
  EXPECT_EQ(system_->points()[2].color, cSecond);
  EXPECT_EQ(system_->points()[3].color, sf::Color(0, 0, 0, 255));
  for (const auto& p : system_->points())
    EXPECT_FLOAT_EQ(p.remaining, 0.5f);

  const sf::VertexArray& v = system_->vertices();
  ASSERT_EQ(v.getVertexCount(), 8u);
  const sf::Color expected[] = {cFirst, cSecond, sf::Color::Black, sf::Color::Black};
  for (std::size_t s = 0; s < 4; ++s) {
    EXPECT_EQ(v[2 * s].color, expected[s]) << s;
    EXPECT_EQ(v[2 * s + 1].color, expected[s]) << s;
  }
}

TEST_F(TrailTest, SegmentFadesWithItsNewerPointAndPointsExpireAfterTheLifetime) {
  const sf::Color translucent(91, 188, 246, 200);
  system_ = std::make_unique<TrailParticleSystem>(*texture_, translucent, cSecond);
  system_->setTimeScale(0.5f);
  system_->setSegmentStride(1);
  system_->addPoint({0.f, 0.f}, 0);
  system_->update(0.25f); // 0.125 of the 0.5 s lifetime
  system_->addPoint({1.f, 0.f}, 0);
  system_->addPoint({2.f, 0.f}, 0);
  system_->update(0.5f); // newer points at 0.25 left: half faded

  const sf::VertexArray& v = system_->vertices();
  ASSERT_EQ(v.getVertexCount(), 4u);
  // The alpha comes from the remaining life alone, of the newer end.
  EXPECT_EQ(v[0].color, withAlpha(translucent, 255 / 2));
  EXPECT_EQ(v[1].color, withAlpha(translucent, 255 / 2));

  system_->update(0.25f); // oldest at 0: expired; the others at 0.125
  EXPECT_EQ(system_->pointCount(), 2u);
  EXPECT_EQ(system_->vertices()[0].color, withAlpha(translucent, 255 / 4));
  system_->update(0.25f);
  EXPECT_EQ(system_->pointCount(), 0u);
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);
}

TEST_F(TrailTest, ZeroTimeScaleFreezesAndClearEmptiesTheDrawing) {
  system_->setSegmentStride(2);
  addPoints(4);
  system_->setTimeScale(0.f);
  system_->update(100.f);
  EXPECT_EQ(system_->pointCount(), 4u);
  EXPECT_EQ(system_->vertices()[0].color.a, 255);

  system_->clear();
  EXPECT_EQ(system_->pointCount(), 0u);
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);
  EXPECT_EQ(system_->segmentStride(), 2); // the stride belongs to the driver
}

TEST_F(TrailTest, DrawRebuildsOnlyWhenSomethingChanged) {
  sf::RenderTexture target;
  ASSERT_TRUE(target.create(64, 64));
  system_->setSegmentStride(1);
  addPoints(3);
  const std::size_t before = system_->rebuildCount();
  target.draw(*system_);
  target.draw(*system_);
  EXPECT_EQ(system_->rebuildCount(), before + 1);
  system_->update(0.f);
  target.draw(*system_);
  EXPECT_EQ(system_->rebuildCount(), before + 2);
  system_->setSegmentStride(2);
  target.draw(*system_);
  EXPECT_EQ(system_->rebuildCount(), before + 3);
}

TEST_F(TrailTest, DrawPaintsUntexturedLines) {
  sf::RenderTexture target;
  ASSERT_TRUE(target.create(64, 64));
  target.clear(sf::Color::Black);
  system_->setSegmentStride(1);
  system_->addPoint({0.f, 32.5f}, 1);
  system_->addPoint({64.f, 32.5f}, 1);
  target.draw(*system_);
  target.display();
  const sf::Image shot = target.getTexture().copyToImage();
  // The blank texture is never sampled: the line shows its own colour.
  EXPECT_EQ(shot.getPixel(32, 32), cSecond);
  EXPECT_EQ(shot.getPixel(32, 10), sf::Color::Black);
}
