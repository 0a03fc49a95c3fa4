#include "simulation/racepacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace pod {
namespace {

constexpr float cUpdate = 0.016666668f; // 60 updates per second

// Turns run by each of n updates of the race phase.
std::vector<int> turnsPerUpdate(RacePacer& pacer, int n, float dt = cUpdate) {
  std::vector<int> turns;
  for (int i = 0; i < n; ++i)
    turns.push_back(pacer.takeTurns(dt));
  return turns;
}

TEST(RacePacer, SpeedTableAndClamping) {
  const float durations[] = {0.2f, 1.f / 13.f, 1.f / 19.f, 0.04f, 0.03125f, 0.02f};
  const char* labels[] = {"x0.5", "x1", "x1.5", "x2", "x3", "x4"};
  RacePacer pacer;
  EXPECT_EQ(pacer.speedIndex(), 3);
  EXPECT_FLOAT_EQ(pacer.turnDuration(), 0.04f);
  for (int i = 0; i <= RacePacer::cMaxSpeedIndex; ++i) {
    pacer.setSpeed(i);
    EXPECT_EQ(pacer.speedIndex(), i);
    EXPECT_FLOAT_EQ(pacer.turnDuration(), durations[i]);
    EXPECT_STREQ(RacePacer::speedLabel(i), labels[i]);
  }
  // Out of range: the index is clamped but the duration stays.
  pacer.setSpeed(1);
  pacer.setSpeed(9);
  EXPECT_EQ(pacer.speedIndex(), 5);
  EXPECT_FLOAT_EQ(pacer.turnDuration(), 1.f / 13.f);
  pacer.setSpeed(-2);
  EXPECT_EQ(pacer.speedIndex(), 0);
  EXPECT_FLOAT_EQ(pacer.turnDuration(), 1.f / 13.f);
}

TEST(RacePacer, SpeedKeysStopAtTheEndsOfTheRange) {
  RacePacer pacer;
  pacer.setSpeed(RacePacer::cMaxSpeedIndex);
  EXPECT_FALSE(pacer.faster());
  EXPECT_EQ(pacer.speedIndex(), 5);
  EXPECT_FLOAT_EQ(pacer.turnDuration(), 0.02f);
  EXPECT_TRUE(pacer.slower());
  EXPECT_EQ(pacer.speedIndex(), 4);
  EXPECT_FLOAT_EQ(pacer.turnDuration(), 0.03125f);

  pacer.setSpeed(0);
  EXPECT_FALSE(pacer.slower());
  EXPECT_EQ(pacer.speedIndex(), 0);
  EXPECT_FLOAT_EQ(pacer.turnDuration(), 0.2f);
  EXPECT_TRUE(pacer.faster());
  EXPECT_EQ(pacer.speedIndex(), 1);

  // A new race keeps the speed.
  pacer.start();
  EXPECT_EQ(pacer.speedIndex(), 1);
}

TEST(RacePacer, TurnsPerUpdateAtEverySpeed) {
  const int turnsPerSecond[] = {5, 13, 19, 25, 32, 50};
  for (int speed = 0; speed <= RacePacer::cMaxSpeedIndex; ++speed) {
    RacePacer pacer;
    pacer.setSpeed(speed);
    const std::vector<int> turns = turnsPerUpdate(pacer, 600); // ten seconds
    int total = 0;
    for (int t : turns) {
      EXPECT_GE(t, 0);
      EXPECT_LE(t, 1) << "speed " << speed; // every turn is longer than an update
      total += t;
    }
    EXPECT_NEAR(total, 10 * turnsPerSecond[speed], 1) << "speed " << speed;
  }
}

TEST(RacePacer, FastestSpeedSkipsSomeUpdatesAndSlowestRunsEveryTwelfth) {
  RacePacer fastest;
  fastest.setSpeed(5);
  const std::vector<int> fast = turnsPerUpdate(fastest, 60);
  int withTurn = 0;
  for (int t : fast)
    withTurn += t;
  EXPECT_GT(withTurn, 30);
  EXPECT_LT(withTurn, 60);

  RacePacer slowest;
  slowest.setSpeed(0);
  const std::vector<int> slow = turnsPerUpdate(slowest, 600);
  std::vector<int> turnUpdates;
  for (std::size_t i = 0; i < slow.size(); ++i)
    if (slow[i] > 0)
      turnUpdates.push_back(static_cast<int>(i));
  ASSERT_GE(turnUpdates.size(), 49u);
  // The first turn waits out a whole turn; rounding may move one by an update.
  EXPECT_NEAR(turnUpdates[0], 11, 1);
  for (std::size_t i = 1; i < turnUpdates.size(); ++i)
    EXPECT_NEAR(turnUpdates[i] - turnUpdates[i - 1], 12, 1);
}

TEST(RacePacer, LongUpdatesRunSeveralTurns) {
  // Before the first race the engine updates 20 times per second.
  RacePacer pacer;
  pacer.setSpeed(5);
  const std::vector<int> turns = turnsPerUpdate(pacer, 20, 0.05f);
  int total = 0;
  for (int t : turns) {
    EXPECT_GE(t, 2);
    EXPECT_LE(t, 3);
    total += t;
  }
  EXPECT_NEAR(total, 50, 1);
  EXPECT_LT(pacer.timer(), pacer.turnDuration());
}

// Runs a countdown of 60 updates per second; pressAt lists the updates in
// which a steering key is pressed. Returns the strings shown after each
// update, until the countdown ends.
std::vector<std::string> countdown(bool keyboard, const std::vector<int>& pressAt) {
  RacePacer pacer;
  pacer.start();
  std::vector<std::string> shown;
  for (int i = 0; i < 60 * 12; ++i) {
    bool pressed = false;
    for (int p : pressAt)
      pressed = pressed || p == i;
    if (!pacer.advanceCountdown(cUpdate, keyboard, pressed))
      break;
    shown.push_back(RacePacer::countdownString(pacer.countdownRemaining(keyboard)));
  }
  EXPECT_FALSE(pacer.countingDown());
  EXPECT_FLOAT_EQ(pacer.timer(), 0.f);
  return shown;
}

std::vector<std::string> distinct(const std::vector<std::string>& shown) {
  std::vector<std::string> out;
  for (const std::string& s : shown)
    if (out.empty() || out.back() != s)
      out.push_back(s);
  return out;
}

TEST(RacePacer, CountdownWithoutKeyboardPlayerShowsThreeSecondsKeysOrNot) {
  const std::vector<std::string> plain = countdown(false, {});
  EXPECT_EQ(distinct(plain), (std::vector<std::string>{"3", "2", "1"}));
  EXPECT_NEAR(static_cast<double>(plain.size()), 180.0, 1.0);
  // Steering keys change nothing without a keyboard player.
  const std::vector<std::string> pressed = countdown(false, {1, 2, 3, 4, 5});
  EXPECT_EQ(pressed, plain);
}

TEST(RacePacer, CountdownWithKeyboardPlayerLastsTenSecondsAndKeysSkip) {
  const std::vector<std::string> plain = countdown(true, {});
  EXPECT_EQ(distinct(plain), (std::vector<std::string>{"10", "9", "8", "7", "6", "5", "4", "3",
                                                       "2", "1"}));
  EXPECT_NEAR(static_cast<double>(plain.size()), 600.0, 1.0);

  // Two presses skip two seconds: "8" is shown first after the second one.
  const std::vector<std::string> two = countdown(true, {0, 1});
  EXPECT_EQ(two[1], "8");
  EXPECT_NEAR(static_cast<double>(two.size()), 480.0, 1.0);

  // Enough presses jump straight to "3"; presses in the last three seconds
  // do nothing.
  std::vector<int> many;
  for (int i = 0; i < 30; ++i)
    many.push_back(i);
  const std::vector<std::string> jumped = countdown(true, many);
  EXPECT_EQ(jumped[6], "3");
  EXPECT_EQ(distinct(jumped), (std::vector<std::string>{"9", "8", "7", "6", "5", "4", "3", "2",
                                                        "1"}));
  EXPECT_NEAR(static_cast<double>(jumped.size()), 180.0, 1.0);
}

TEST(RacePacer, CountdownStringAndAlpha) {
  EXPECT_EQ(RacePacer::countdownString(2.5), "3");
  EXPECT_EQ(RacePacer::countdownAlpha(2.5), 127);
  EXPECT_EQ(RacePacer::countdownString(0.999), "1");
  EXPECT_EQ(RacePacer::countdownAlpha(0.999), 254);
  EXPECT_EQ(RacePacer::countdownString(9.99), "10");
  // At a whole second the new number is still transparent.
  EXPECT_EQ(RacePacer::countdownString(2.0), "3");
  EXPECT_EQ(RacePacer::countdownAlpha(2.0), 0);
  EXPECT_EQ(RacePacer::countdownAlpha(1.0 - 1e-9), 254);
}

} // namespace
} // namespace pod
