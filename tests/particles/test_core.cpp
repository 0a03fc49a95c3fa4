#include "particles/particle.h"

#include <qutils/assert.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>

using pod::mixColors;
using pod::trailSettings;

namespace {

int gAsserts = 0;
std::string gCondition;

int recordAndContinue(const char* condition, const char*, const char*, int) {
  ++gAsserts;
  gCondition = condition ? condition : "";
  return 1;
}

struct Aged {
  float remaining;
};

} // namespace

TEST(ParticleCore, TrailKindZeroIsWhiteForHalfASecondAndOthersAssert) {
  const qutils::AssertHandler previous = qutils::getAssertHandler();
  qutils::setAssertHandler(&recordAndContinue);
  gAsserts = 0;

  EXPECT_EQ(trailSettings(0).color, sf::Color::White);
  EXPECT_FLOAT_EQ(trailSettings(0).lifetime, 0.5f);
  EXPECT_EQ(gAsserts, 0);

  for (int kind : {1, -1}) {
    const pod::TrailSettings& fallback = trailSettings(kind);
    EXPECT_EQ(gCondition, "false");
    EXPECT_FLOAT_EQ(fallback.lifetime, 0.5f);
  }
  EXPECT_EQ(gAsserts, 2);
  qutils::setAssertHandler(previous);
}

TEST(ParticleCore, ColourMixIsPerChannelAndTruncates) {
  const sf::Color a(10, 0, 255, 1), b(21, 255, 0, 0);
  EXPECT_EQ(mixColors(a, b, 0.f), a);
  EXPECT_EQ(mixColors(a, b, 1.f), b);
  // 15.5, 127.5, 127.5, 0.5 all drop their fraction.
  EXPECT_EQ(mixColors(a, b, 0.5f), sf::Color(15, 127, 127, 0));
}

TEST(ParticleCore, AgeingStopsAtTheFirstLiveParticle) {
  std::deque<Aged> q = {{1.f}, {0.25f}, {2.f}, {0.5f}};
  pod::ageParticles(q, 0.f);
  EXPECT_EQ(q.size(), 4u);

  pod::ageParticles(q, 0.5f);
  ASSERT_EQ(q.size(), 4u); // the front lives, so nothing behind it goes
  EXPECT_FLOAT_EQ(q[1].remaining, -0.25f);

  pod::ageParticles(q, 0.5f); // front reaches 0 exactly
  ASSERT_EQ(q.size(), 2u);
  EXPECT_FLOAT_EQ(q.front().remaining, 1.f);
  EXPECT_FLOAT_EQ(q.back().remaining, -0.5f);
}

TEST(ParticleCore, PositionIsStartPlusVelocityTimesAge) {
  const qutils::Vec2 p = pod::particlePosition({1.f, 2.f}, {10.f, -20.f}, 0.5f, 0.25f);
  EXPECT_FLOAT_EQ(p.x, 1.f + 2.5f);
  EXPECT_FLOAT_EQ(p.y, 2.f - 5.f);
}
