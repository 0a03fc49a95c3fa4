#include <gtest/gtest.h>
#include <vexa/core/looptimer.h>

using vexa::LoopTimer;

namespace {

constexpr float kGameRate = 0.05f;
constexpr float kFrame = 1.f / 60.f;

int consumeAll(LoopTimer& timer, float rate) {
  int steps = 0;
  while (timer.consumeUpdate(rate))
    ++steps;
  return steps;
}

} // namespace

TEST(LoopTimer, LongPassRunsEveryDueStepThenOneFrame) {
  LoopTimer timer;
  timer.advance(0.16f);
  EXPECT_EQ(timer.sleepTime(kGameRate, kFrame), 0.f);
  EXPECT_EQ(consumeAll(timer, kGameRate), 3);
  EXPECT_NEAR(timer.updateTime(), 0.01f, 1e-6f);

  ASSERT_TRUE(timer.frameDue(kFrame));
  timer.dropFrames(kFrame);
  // Nine missed frames are dropped, not queued.
  EXPECT_FALSE(timer.frameDue(kFrame));
  EXPECT_NEAR(timer.drawTime(), 0.16f - 9.f * kFrame, 1e-6f);
}

TEST(LoopTimer, SleepsUntilTheNearerDeadlineLessTheMargin) {
  LoopTimer fresh;
  EXPECT_NEAR(fresh.sleepTime(kGameRate, kFrame), kFrame - 0.01f, 1e-7f);
  // Equal remainders: the frame's.
  EXPECT_NEAR(fresh.sleepTime(0.03f, 0.03f), 0.02f, 1e-7f);
  // The update deadline is the nearer one.
  EXPECT_NEAR(fresh.sleepTime(0.02f, 0.1f), 0.01f, 1e-7f);

  LoopTimer almost;
  almost.advance(0.0165f);
  almost.consumeUpdate(kGameRate);
  // U 0.0165 (ru 0.0335) but rd 0.00017: no sleep.
  EXPECT_EQ(almost.sleepTime(kGameRate, kFrame), 0.f);
}

TEST(LoopTimer, NoSleepWhenEitherRemainderIsWithinTheMargin) {
  // U 0.049, D 0.0157: both deadlines are less than the margin away.
  LoopTimer both;
  both.advance(0.049f);
  both.dropFrames(kFrame);
  EXPECT_EQ(both.sleepTime(kGameRate, kFrame), 0.f);

  // U 0.01 (0.04 to go) but D 0.01 (0.0067 to go): still no sleep.
  LoopTimer frameClose;
  frameClose.advance(0.06f);
  frameClose.consumeUpdate(kGameRate);
  frameClose.dropFrames(kFrame);
  EXPECT_EQ(frameClose.sleepTime(kGameRate, kFrame), 0.f);
}

TEST(LoopTimer, GameRateChangesApplyToTheNextStep) {
  LoopTimer timer;
  timer.advance(0.11f);
  ASSERT_TRUE(timer.consumeUpdate(0.05f));
  // The race starts: 1/60 from now on.
  EXPECT_EQ(consumeAll(timer, 1.f / 60.f), 3);
  EXPECT_NEAR(timer.updateTime(), 0.01f, 1e-6f);
}

TEST(LoopTimer, EngineVariantKeepsOneFramePending) {
  LoopTimer timer;
  timer.advance(0.05f);
  ASSERT_TRUE(timer.frameDue(kFrame));
  timer.dropFramesKeepingOne(kFrame);
  EXPECT_GE(timer.drawTime(), kFrame);
  EXPECT_LT(timer.drawTime(), 2.f * kFrame);
  // So it draws on every following pass, however short.
  timer.advance(0.0001f);
  EXPECT_TRUE(timer.frameDue(kFrame));

  LoopTimer young;
  young.advance(0.01f);
  EXPECT_FALSE(young.frameDue(kFrame));
}
