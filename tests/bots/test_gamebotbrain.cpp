#include "bots/botprocess.h"
#include "bots/gamebotbrain.h"

#include "race/physics.h"
#include "race/track.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace pod::bots {
namespace {

namespace fs = std::filesystem;

// Answers turn n with rotation n, after `misstep`.
std::string script(const std::string& misstep) {
  const fs::path path = fs::temp_directory_path() / ("game-bot-" + std::to_string(getpid()));
  std::ofstream(path) << "while read -r key rest; do [ \"$key\" = start ] && break; done\n"
                         "n=0\n"
                         "while read -r word rest; do\n"
                         "  [ \"$word\" = turn ] || exit 0\n"
                         "  for i in 1 2 3 4; do read -r pod; done\n"
                         "  n=$((n+1))\n"
                      << misstep << "\n  echo \"$n 100 0\"; echo \"$n 100 0\"\ndone\n";
  return path.string();
}

// The game's turn loop with real time between turns; returns the rotation of
// team 0's first pod, turn by turn.
std::vector<float> playTurns(GameBotBrain& brain, Physics& physics, int turns,
                             int turnMs = 100) {
  std::vector<float> rotations;
  std::vector<Influence> influences;
  std::vector<PhysicsEvent> events;
  for (int t = 0; t < turns; ++t) {
    std::this_thread::sleep_for(std::chrono::milliseconds(turnMs));
    influences.clear();
    brain.think(physics.getCurrentState(), influences);
    rotations.push_back(influences.at(0).rotation);
    influences.resize(4);
    physics.step(influences, 0.25f, events);
    brain.turnDone(physics.getCurrentState(), 0.25f);
  }
  return rotations;
}

void waitForTheReaper() {
  for (int i = 0; i < 300 && (botsBeingEnded() > 0 || liveBotCount() > 0); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(botsBeingEnded(), 0);
  EXPECT_EQ(liveBotCount(), 0);
}

class GameBot : public ::testing::Test {
protected:
  void SetUp() override {
    track_.checkpoints.resize(3);
    track_.checkpoints[0].position = {-5000.f, 0.f};
    track_.checkpoints[1].position = {5000.f, -2000.f};
    track_.checkpoints[2].position = {2000.f, 3000.f};
    physics_.init(false, 2, 2, &track_);
  }
  void TearDown() override { fs::remove(script("")); }

  std::unique_ptr<GameBotBrain> bot(const std::string& misstep) {
    auto brain = std::make_unique<GameBotBrain>("bot", std::vector<std::string>{"/bin/sh", script(misstep)});
    brain->setTeam(0);
    brain->setPhysics(physics_);
    brain->setTrack(track_);
    return brain;
  }

  Track track_;
  Physics physics_;
};

// A late answer is not waited for: the pods coast that turn, the turn is
// counted, and the answer is dropped when it comes instead of being taken
// for the next turn's.
TEST_F(GameBot, ALateAnswerCoastsAndIsSkippedWhenItComes) {
  // Turn 2's answer comes a third of a turn late, turn 3's at once after it:
  // wide margins both ways, for a loaded machine.
  auto brain = bot("  [ $n -eq 2 ] && sleep 0.4");
  const std::vector<float> rotations = playTurns(*brain, physics_, 4, 300);
  EXPECT_EQ(rotations, (std::vector<float>{1.f, 0.f, 3.f, 4.f}));
  EXPECT_EQ(brain->lateTurns(), 1);
  EXPECT_EQ(brain->forfeit(), nullptr);
  brain.reset();
  waitForTheReaper();
}

TEST_F(GameBot, ADeadBotForfeitsAndIsReaped) {
  auto brain = bot("  [ $n -eq 3 ] && exit 3");
  const std::vector<float> rotations = playTurns(*brain, physics_, 5);
  EXPECT_EQ(rotations[1], 2.f);
  ASSERT_NE(brain->forfeit(), nullptr);
  EXPECT_EQ(brain->forfeit()->fault, Fault::Exited);
  EXPECT_EQ(brain->forfeit()->detail, "exited with status 3");
  EXPECT_EQ(rotations.back(), 0.f) << "a forfeited team coasts";
  brain.reset();
  waitForTheReaper();
}

// What the end-of-race panel says of a bot that crashed: its late answers,
// the reason with the signal, and the last three lines of its standard error.
TEST_F(GameBot, ACrashIsReportedWithItsSignalAndLastErrors) {
  auto brain = bot("  [ $n -eq 3 ] && { for w in one two three four; do echo $w >&2; done; "
                   "kill -SEGV $$; }");
  playTurns(*brain, physics_, 6);
  ASSERT_NE(brain->forfeit(), nullptr);
  const std::string turn = std::to_string(brain->forfeit()->turn);
  const std::vector<std::string> report =
      botReport("mybot", brain->lateTurns(), brain->forfeit());
  EXPECT_EQ(std::vector<std::string>(report.begin() + 1, report.end()),
            (std::vector<std::string>{"mybot: crashed on turn " + turn +
                                          " (killed by signal 11 (SIGSEGV))",
                                      "| two", "| three", "| four"}));
  EXPECT_EQ(botReport("a", 0, nullptr), std::vector<std::string>{"a: no late answer"});
  EXPECT_EQ(botReport("b", 1, nullptr), std::vector<std::string>{"b: 1 late answer"});
  EXPECT_EQ(botReport("c", 3, nullptr), std::vector<std::string>{"c: 3 late answers"});
  brain.reset();
  waitForTheReaper();
}

// A bot late on turn after turn is told how long it takes and how long it
// has; one that says nothing is told so.
TEST_F(GameBot, ABotLateOnEveryTurnIsToldHowLongItTakes) {
  auto brain = bot("  sleep 0.16");
  playTurns(*brain, physics_, kLateStreakWarning + 2);
  EXPECT_GE(brain->lateStreak(), kLateStreakWarning);
  EXPECT_GT(brain->recentAnswerMs(), 100.0);
  EXPECT_GE(brain->turnMs(), 100);
  EXPECT_EQ(lateWarning("mybot", 12, 161.4, 100),
            "mybot is late on every turn: its answers take 161 ms, a turn allows 100 ms");
  EXPECT_EQ(lateWarning("mybot", 12, -1.0, 20),
            "mybot has not answered for 12 turns; a turn allows 20 ms");
  brain.reset();
  waitForTheReaper();
}

} // namespace
} // namespace pod::bots
