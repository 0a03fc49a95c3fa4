#include <gtest/gtest.h>
#include <vexa/core/looptimer.h>

using vexa::LoopTimer;

namespace {

constexpr float kGameRate = 0.05f;
constexpr float kFrame = 1.f / 60.f;

} // namespace

TEST(LoopTimer, SleepsUntilTheNearerDeadlineLessTheMargin) {
  LoopTimer fresh;
  EXPECT_NEAR(fresh.sleepTime(kGameRate, kFrame), kFrame - 0.01f, 1e-7f);
  EXPECT_NEAR(fresh.sleepTime(0.03f, 0.03f), 0.02f, 1e-7f);
  EXPECT_NEAR(fresh.sleepTime(0.02f, 0.1f), 0.01f, 1e-7f);

  // U 0.049, D 0.0157: both deadlines are less than the margin away.
  LoopTimer both;
  both.advance(0.049f);
  both.dropFrames(kFrame);
  EXPECT_EQ(both.sleepTime(kGameRate, kFrame), 0.f);

  // U 0.0165 (0.0335 to go) but D 0.0165 (0.00017 to go): no sleep.
  LoopTimer frameClose;
  frameClose.advance(0.0165f);
  EXPECT_EQ(frameClose.sleepTime(kGameRate, kFrame), 0.f);
}
