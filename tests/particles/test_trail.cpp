#include "particles/ringbuffer.h"
#include "particles/trailparticlesystem.h"
#include "support.h"

#include <SFML/Graphics/RenderTexture.hpp>

#include <gtest/gtest.h>

using namespace particles_test;
using pod::TrailParticleSystem;

namespace {

const sf::Color cFirst(91, 188, 246, 200);
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

} // namespace

TEST_F(TrailTest, StrideJoinsEachPointToItsPredecessorInItsColour) {
  system_->setSegmentStride(4);
  addPoints(3);
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);
  addPoints(3);
  const sf::VertexArray& v = system_->vertices();
  EXPECT_EQ(v.getPrimitiveType(), sf::Lines);
  EXPECT_EQ(v.getVertexCount(), 4u); // 4 - 0, 5 - 1
  system_->setSegmentStride(0);
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);

  // Fresh segments are opaque in the team colour; unknown teams are black.
  system_->clear();
  system_->setSegmentStride(1);
  const int team[] = {0, 0, 1, 2};
  for (int i = 0; i < 4; ++i)
    system_->addPoint({static_cast<float>(i), 0.f}, team[i]);
  const sf::Color expected[] = {sf::Color(91, 188, 246, 255), cSecond, sf::Color::Black};
  const sf::VertexArray& w = system_->vertices();
  ASSERT_EQ(w.getVertexCount(), 6u);
  for (std::size_t s = 0; s < 3; ++s)
    EXPECT_EQ(w[2 * s + 1].color, expected[s]) << s;
}

TEST_F(TrailTest, SegmentFadesWithItsNewerPointPointsExpireAndClearEmpties) {
  system_->setTimeScale(0.5f);
  system_->setSegmentStride(1);
  system_->addPoint({0.f, 0.f}, 0);
  system_->update(0.25f); // 0.125 of the 0.5 s lifetime
  system_->addPoint({1.f, 0.f}, 0);
  system_->addPoint({2.f, 0.f}, 0);
  system_->update(0.5f); // newer points at 0.25 left: half faded
  const sf::VertexArray& v = system_->vertices();
  ASSERT_EQ(v.getVertexCount(), 4u);
  // The alpha comes from the remaining life alone, not the colour's own.
  EXPECT_EQ(v[0].color, sf::Color(91, 188, 246, 255 / 2));

  system_->update(0.25f); // oldest at 0: expired; the others at 0.125
  EXPECT_EQ(system_->pointCount(), 2u);
  EXPECT_EQ(system_->vertices()[0].color.a, 255 / 4);
  system_->clear();
  EXPECT_EQ(system_->pointCount(), 0u);
  EXPECT_EQ(system_->vertices().getVertexCount(), 0u);
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

// Points live in a ring: expiry moves its start round, and a full ring drops
// the oldest. Whatever the start, a segment must join two points of one pod.
TEST(TrailRing, SegmentsJoinOnePodsPointsAcrossTheWrap) {
  const auto texture = makeTexture(4, 4);
  struct Case {
    std::size_t capacity;
    std::size_t kept; // 13 outlive the 0.5 s; a smaller ring keeps its newest
  };
  for (const Case c : {Case{16, 13}, Case{7, 7}}) {
    TrailParticleSystem trail(*texture, cFirst, cSecond, c.capacity);
    trail.setTimeScale(1.f);
    trail.setSegmentStride(2);
    const int added = 40;
    for (int i = 0; i < added; ++i) {
      trail.update(0.04f);
      trail.addPoint({static_cast<float>(i % 2) * 100.f, static_cast<float>(i)}, i % 2);
    }
    ASSERT_EQ(trail.pointCount(), c.kept) << c.capacity;
    for (std::size_t k = 0; k < c.kept; ++k)
      EXPECT_EQ(trail.points()[k].position.y, static_cast<float>(added - c.kept + k)) << k;
    const sf::VertexArray& v = trail.vertices();
    ASSERT_EQ(v.getVertexCount(), (c.kept - 2) * 2);
    for (std::size_t s = 0; s < v.getVertexCount(); s += 2) {
      EXPECT_EQ(v[s].position.x, v[s + 1].position.x) << c.capacity << " segment " << s / 2;
      EXPECT_EQ(v[s + 1].position.y - v[s].position.y, 2.f) << c.capacity << " segment " << s / 2;
    }
  }
}

// Slot arithmetic at its edge: from a head at slot 2 of 4, the third item
// lands on index 4, which is slot 0.
TEST(TrailRing, AnIndexOnTheCapacityWrapsToTheFirstSlot) {
  pod::RingBuffer<int> ring(4);
  for (int i = 1; i <= 4; ++i)
    ring.push_back(i);
  ring.pop_front();
  ring.pop_front();
  ring.push_back(5);
  std::vector<int> seen;
  ring.forEach([&seen](int v) { seen.push_back(v); });
  EXPECT_EQ(seen, (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(ring.back(), 5);
}
