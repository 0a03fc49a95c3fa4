#include "simulation/racepacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace pod {
namespace {

constexpr float cUpdate = 0.016666668f; // 60 updates per second

TEST(RacePacer, SpeedKeysStopAtTheEndsOfTheRangeAndSetSpeedClamps) {
  RacePacer pacer;
  pacer.setSpeed(RacePacer::cMaxSpeedIndex);
  EXPECT_FALSE(pacer.faster());
  EXPECT_TRUE(pacer.slower());
  EXPECT_EQ(pacer.speedIndex(), 4);

  pacer.setSpeed(0);
  EXPECT_FALSE(pacer.slower());
  EXPECT_TRUE(pacer.faster());
  const float duration = pacer.turnDuration();
  pacer.start(); // a new race keeps the speed
  EXPECT_EQ(pacer.speedIndex(), 1);

  // Out of range: the index is clamped but the duration stays.
  pacer.setSpeed(9);
  EXPECT_EQ(pacer.speedIndex(), 5);
  EXPECT_FLOAT_EQ(pacer.turnDuration(), duration);
}

TEST(RacePacer, TurnsPerUpdateAtEverySpeed) {
  const int turnsPerSecond[] = {5, 13, 19, 25, 32, 50};
  for (int speed = 0; speed <= RacePacer::cMaxSpeedIndex; ++speed) {
    SCOPED_TRACE(speed);
    RacePacer pacer;
    pacer.setSpeed(speed);
    std::vector<int> turnUpdates; // updates that ran a turn
    for (int i = 0; i < 600; ++i) { // ten seconds
      const int t = pacer.takeTurns(cUpdate);
      ASSERT_GE(t, 0);
      ASSERT_LE(t, 1); // every turn is longer than an update
      if (t > 0)
        turnUpdates.push_back(i);
    }
    // x4 runs a turn in most updates but not all of them.
    EXPECT_NEAR(static_cast<int>(turnUpdates.size()), 10 * turnsPerSecond[speed], 1);
    if (speed == 0) {
      // x0.5 runs one every twelve updates, the first after a whole turn;
      // rounding may move one by an update.
      EXPECT_NEAR(turnUpdates[0], 11, 1);
      for (std::size_t i = 1; i < turnUpdates.size(); ++i)
        EXPECT_NEAR(turnUpdates[i] - turnUpdates[i - 1], 12, 1);
    }
  }
}

TEST(RacePacer, LongUpdatesRunSeveralTurns) {
  // Before the first race the engine updates 20 times per second.
  RacePacer pacer;
  pacer.setSpeed(5);
  int total = 0;
  for (int i = 0; i < 20; ++i) {
    const int t = pacer.takeTurns(0.05f);
    EXPECT_GE(t, 2);
    EXPECT_LE(t, 3);
    total += t;
  }
  EXPECT_NEAR(total, 50, 1);
  EXPECT_LT(pacer.timer(), pacer.turnDuration());
}

// Runs a countdown of 60 updates per second; pressAt lists the updates in
// which a steering key is pressed. Returns the updates it lasted and the
// strings it showed, each once.
std::pair<int, std::vector<std::string>> countdown(bool keyboard, const std::vector<int>& pressAt) {
  RacePacer pacer;
  pacer.start();
  std::pair<int, std::vector<std::string>> run;
  for (int& i = run.first; i < 60 * 12; ++i) {
    const bool pressed = std::find(pressAt.begin(), pressAt.end(), i) != pressAt.end();
    if (!pacer.advanceCountdown(cUpdate, keyboard, pressed))
      break;
    const std::string s = RacePacer::countdownString(pacer.countdownRemaining(keyboard));
    if (run.second.empty() || run.second.back() != s)
      run.second.push_back(s);
  }
  EXPECT_FALSE(pacer.countingDown());
  EXPECT_FLOAT_EQ(pacer.timer(), 0.f);
  return run;
}

TEST(RacePacer, CountdownLastsThreeSecondsOrTenThatKeysShorten) {
  using Shown = std::vector<std::string>;
  const auto plain = countdown(false, {});
  EXPECT_EQ(plain.second, (Shown{"3", "2", "1"}));
  EXPECT_NEAR(plain.first, 180, 1);
  // Steering keys change nothing without a keyboard player.
  EXPECT_EQ(countdown(false, {1, 2, 3, 4, 5}), plain);

  // With a keyboard player: ten seconds, that steering keys skip.
  const auto ten = countdown(true, {});
  EXPECT_EQ(ten.second, (Shown{"10", "9", "8", "7", "6", "5", "4", "3", "2", "1"}));
  EXPECT_NEAR(ten.first, 600, 1);
  // Enough presses jump straight to "3"; presses in the last three seconds
  // do nothing.
  std::vector<int> many;
  for (int i = 0; i < 30; ++i)
    many.push_back(i);
  const auto jumped = countdown(true, many);
  EXPECT_EQ(jumped.second, (Shown{"9", "8", "7", "6", "5", "4", "3", "2", "1"}));
  EXPECT_NEAR(jumped.first, 180, 1);
}

TEST(RacePacer, CountdownNumberFadesOverEachSecondButStaysReadable) {
  EXPECT_EQ(RacePacer::countdownString(2.5), "3");
  EXPECT_EQ(RacePacer::countdownString(0.999), "1");
  EXPECT_GE(RacePacer::countdownAlpha(0.999), 250);
  EXPECT_LT(RacePacer::countdownAlpha(2.5), RacePacer::countdownAlpha(2.9));
  // The end of each second is the faintest, and still well visible.
  EXPECT_EQ(RacePacer::countdownString(2.0), "3");
  for (double r : {2.0, 1.001, 0.01})
    EXPECT_GE(RacePacer::countdownAlpha(r), 140) << r;
}

} // namespace
} // namespace pod
