#include "brains/geneticbraingrouped.h"
#include "brains/geneticbrainseparate.h"
#include "brains/geneticbraintimeattack.h"
#include "brains/plannerstats.h"
#include "race/physics.h"

#include "genetictestutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using pod::AbstractBrain;
using pod::DriverOptions;
using pod::Influence;
using pod::PlannerStats;
using pod::Race;

namespace {

const std::vector<std::string> kRaceGenetics = {"Genetic", "Predictive genetic", "Genetic runners",
                                                "Genetic (separate)", "Gen. two runners"};
const std::vector<std::string> kAllGenetics = {"Genetic",          "Predictive genetic",
                                               "Genetic runners",  "Genetic (separate)",
                                               "Gen. two runners", "Genetic runner"};

bool isNeutral(const Influence& i) { return i.rotation == 0.f && i.thrust == 0.f && !i.shield; }

// Waits (without any timing assertion) until the condition holds or a
// generous limit passes; returns the condition.
template <class Condition>
bool eventually(Condition condition) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > limit)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// The nice value of every thread of this process.
std::vector<int> threadNices() {
  std::vector<int> nices;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream in(task.path() / "stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the parenthesised name: state is field 3, nice field 19.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 19 && fields >> field; ++i) {
    }
    nices.push_back(std::stoi(field));
  }
  return nices;
}

using genetictest::makeBrain;
using genetictest::runRace;

class GeneticBrains : public ::testing::Test {
protected:
  pod::Track track = genetictest::rectangle();
  pod::Physics physics;
  pod::Physics solo;
  void SetUp() override {
    physics.init(false, 2, 2, &track);
    solo.init(true, 1, 2, &track);
  }
};

// ---------------------------------------------------------------- registry

TEST_F(GeneticBrains, RegistryOffersTheGeneticDriversInMenuOrder) {
  std::vector<std::string> race = {"Steering heuristics"};
  race.insert(race.end(), kRaceGenetics.begin(), kRaceGenetics.end());
  EXPECT_EQ(race, pod::computerDriverNames(false));
  EXPECT_EQ("Genetic runner", pod::computerDriverNames(true).at(1));
  for (const auto& name : kRaceGenetics) {
    EXPECT_NE(nullptr, dynamic_cast<PlannerStats*>(pod::createDriver(name, false).get())) << name;
    EXPECT_EQ(nullptr, pod::createDriver(name, true)) << name;
  }
  EXPECT_NE(nullptr, dynamic_cast<pod::GeneticBrainTimeAttack*>(
                         pod::createDriver("Genetic runner", true).get()));
  EXPECT_EQ(nullptr, pod::createDriver("Genetic runner", false));
}

// ---------------------------------------------------------------- life cycle

TEST_F(GeneticBrains, ThinkBeforeAnyStepGivesNeutralCommands) {
  for (const auto& name : kAllGenetics) {
    for (int evals : {0, 5}) {
      const bool timeAttack = name == "Genetic runner";
      const pod::Physics& p = timeAttack ? solo : physics;
      std::vector<Influence> influences;
      makeBrain(name, p, track, 1, timeAttack, DriverOptions{3, evals})
          ->think(p.getCurrentState(), influences);
      ASSERT_EQ(timeAttack ? 1u : 2u, influences.size()) << name;
      EXPECT_TRUE(std::all_of(influences.begin(), influences.end(), isNeutral)) << name;
    }
  }
}

TEST_F(GeneticBrains, FirstNotificationStartsTheWorkersOnlyOnce) {
  for (int evals : {0, 3}) {
    pod::GeneticBrainGrouped grouped(0, DriverOptions{1, evals});
    pod::GeneticBrainSeparate separate(0, DriverOptions{1, evals});
    for (AbstractBrain* b : std::vector<AbstractBrain*>{&grouped, &separate}) {
      b->setTrack(track);
      b->setPhysics(physics);
      b->setTeam(1);
    }
    EXPECT_EQ(0, grouped.workersStarted());
    EXPECT_EQ(0, separate.workersStarted());
    for (int turn = 0; turn < 4; ++turn) {
      grouped.turnDone(physics.getCurrentState(), 0.25f);
      separate.turnDone(physics.getCurrentState(), 0.25f);
      EXPECT_EQ(1, grouped.workersStarted());
      EXPECT_EQ(2, separate.workersStarted());
    }
    EXPECT_EQ(4u, grouped.turnsPlanned());
    EXPECT_EQ(4u, separate.turnsPlanned());
  }
}

// Each worker runs nicer than the thread that drives the race and publishes
// plans that move the pods; told of a decided race it stops evolving; and
// destroying the brain mid-evolution joins it (a worker left running would
// also be reported by the sanitizers).
TEST_F(GeneticBrains, WorkersRunNicerPublishPlansSleepAfterAWinAndAreJoined) {
  const int ownNice = threadNices().front();
  for (const auto& name : kAllGenetics) {
    const bool timeAttack = name == "Genetic runner";
    const pod::Physics& p = timeAttack ? solo : physics;
    // Workers are told apart by their nice value: a sanitizer starts threads
    // of its own at any time.
    const int workerNice = std::min(ownNice + pod::kWorkerNiceIncrement, 19);
    const auto workerThreads = [&] {
      const std::vector<int> nices = threadNices();
      return std::count(nices.begin(), nices.end(), workerNice);
    };
    const long threadsBefore = workerThreads();
    auto brain = makeBrain(name, p, track, 0, timeAttack, DriverOptions{5, 0});
    auto* stats = dynamic_cast<PlannerStats*>(brain.get());
    brain->turnDone(p.getCurrentState(), 0.25f);
    ASSERT_TRUE(eventually([&] { return stats->totalEvolutionSteps() > 20; })) << name;
    ASSERT_TRUE(eventually([&] {
      std::vector<Influence> influences;
      brain->think(p.getCurrentState(), influences);
      return !std::all_of(influences.begin(), influences.end(), isNeutral);
    })) << name;
    if (auto* grouped = dynamic_cast<pod::GeneticBrainGrouped*>(brain.get())) {
      EXPECT_TRUE(eventually([&] { return grouped->generations() > 0; })) << name;
    }
    const long workers =
        name.find("separate") != std::string::npos || name == "Gen. two runners" ? 2 : 1;
    EXPECT_TRUE(eventually([&] { return workerThreads() == threadsBefore + workers; })) << name;

    Race decided = p.getCurrentState();
    decided.winner = 0;
    brain->turnDone(decided, 0.25f);
    // Settled: no step over a whole window (a busy machine may pause a worker
    // mid-step, so the window is waited for rather than assumed).
    EXPECT_TRUE(eventually([&] {
      const std::uint64_t before = stats->totalEvolutionSteps();
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      return stats->totalEvolutionSteps() == before;
    })) << name;
    const auto start = std::chrono::steady_clock::now();
    brain.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << name;
    EXPECT_EQ(threadsBefore, workerThreads()) << name;
  }
}

TEST_F(GeneticBrains, ManyCreateNotifyThinkDestroyCycles) {
  for (int cycle = 0; cycle < 200; ++cycle) {
    const bool timeAttack = cycle % 6 == 5;
    const std::string name = timeAttack ? "Genetic runner" : kRaceGenetics[cycle % 5];
    const pod::Physics& p = timeAttack ? solo : physics;
    auto brain = makeBrain(name, p, track, cycle % 2, timeAttack, DriverOptions{0, 0});
    std::vector<Influence> influences;
    brain->turnDone(p.getCurrentState(), 0.25f);
    brain->think(p.getCurrentState(), influences);
    if (cycle % 3 == 0)
      brain->turnDone(p.getCurrentState(), 0.25f);
    brain->think(p.getCurrentState(), influences);
    EXPECT_EQ(timeAttack ? 2u : 4u, influences.size());
  }
}

// ---------------------------------------------------------------- synchronous mode

TEST_F(GeneticBrains, SynchronousModeMakesExactlyKStepsPerTurn) {
  const std::uint32_t k = 30;
  for (const auto& name : kRaceGenetics) {
    auto brain = makeBrain(name, physics, track, 0, false, DriverOptions{11, int(k)});
    auto* stats = dynamic_cast<PlannerStats*>(brain.get());
    auto* grouped = dynamic_cast<pod::GeneticBrainGrouped*>(brain.get());
    auto* separate = dynamic_cast<pod::GeneticBrainSeparate*>(brain.get());
    for (std::uint64_t turn = 1; turn <= 3; ++turn) {
      brain->turnDone(physics.getCurrentState(), 0.25f);
      EXPECT_EQ((separate ? 2 : 1) * k * turn, stats->totalEvolutionSteps()) << name;
      if (grouped && !grouped->predictive()) {
        EXPECT_EQ(k, grouped->generations()) << name;
      } else if (separate) {
        EXPECT_TRUE(separate->generations1() == k && separate->generations2() == k) << name;
      }
    }
    std::vector<Influence> influences;
    brain->think(physics.getCurrentState(), influences);
    EXPECT_TRUE(!isNeutral(influences[0]) || !isNeutral(influences[1])) << name;
    // What the commands were made of: K steps, on a plan for this very turn.
    for (int p = 0; p < stats->plannerCount(); ++p) {
      const pod::ThinkRecord& record = stats->thinkRecord(p);
      if (!grouped || !grouped->predictive()) {
        EXPECT_EQ(k, record.lastSteps) << name;
      }
      EXPECT_TRUE(record.turns == 1 && record.lateTurns == 0) << name;
    }
    // Told of a decided race, it makes no step at all.
    Race decided = physics.getCurrentState();
    decided.winner = 1;
    brain->turnDone(decided, 0.25f);
    EXPECT_EQ((separate ? 2 : 1) * k * 3, stats->totalEvolutionSteps()) << name;
  }
}

// A worker that has not yet taken the latest turns has its plan played at the
// whole-second planning step that the race has reached (four 0.25 s turns a
// step), at its last handed-over step beyond; each think records it.
TEST(PlanHandover, ALatePlanIsPlayedAtTheStepTheRaceHasReached) {
  pod::WorkerLink link;
  pod::ThinkRecord record;
  const int turnsPerStep = pod::turnsPerPlanningStep(0.25f);
  link.planned = 5;
  link.generations = 42;
  const std::pair<std::uint64_t, std::size_t> cases[] = {{5, 0}, {8, 0},  {9, 1},
                                                         {12, 1}, {13, 2}, {60, 2}};
  for (const auto& [notified, step] : cases) {
    link.notified = notified;
    EXPECT_EQ(step, pod::takeStep(link, turnsPerStep, record)) << notified;
  }
  EXPECT_EQ(6u, record.turns);
  EXPECT_EQ(5u, record.lateTurns);
  EXPECT_EQ(42u, record.lastSteps);
  EXPECT_DOUBLE_EQ(42.0, record.meanSteps());
}

// The predictive planner studies the opponent for a tenth of the 0.25 s game
// turn in real time. K synchronous steps span the real time of one turn at the
// chosen speed, so that phase takes 0.025 s / (turn time) of the steps: 62.5 %
// at x2, the whole turn from x4 on, as a threaded worker gets it in the game.
TEST_F(GeneticBrains, VirtualClockGivesEachPhaseItsShareAtEverySpeed) {
  const int k = 1001; // no phase boundary falls exactly on a step
  struct Case {
    int speed;
    int opponentSteps;
  };
  const Case cases[] = {{0, 126}, {1, 326}, {2, 476}, {3, 626}, {4, 801}, {5, 1001}};
  static_assert(std::size(cases) == pod::gamespeed::kCount);
  for (const Case& c : cases) {
    const DriverOptions options{9, k, pod::gamespeed::kTurnSeconds[c.speed]};
    auto brain = makeBrain("Predictive genetic", physics, track, 1, false, options);
    const auto& grouped = dynamic_cast<const pod::GeneticBrainGrouped&>(*brain);
    const auto& stats = dynamic_cast<const PlannerStats&>(*brain);
    for (int turn = 1; turn <= 2; ++turn) {
      brain->turnDone(physics.getCurrentState(), 0.25f);
      EXPECT_EQ(std::uint32_t(k - c.opponentSteps), grouped.generations())
          << pod::gamespeed::kLabels[c.speed] << " turn " << turn;
    }
    EXPECT_EQ(std::uint64_t(2 * k), stats.totalEvolutionSteps());
  }
  // At x3 (1/32 s) five steps of 1/160 s put the phase's end exactly on the
  // fourth: the opponent gets four steps, not five.
  const DriverOptions onTheBoundary{9, 5, pod::gamespeed::kTurnSeconds[4]};
  auto brain = makeBrain("Predictive genetic", physics, track, 1, false, onTheBoundary);
  brain->turnDone(physics.getCurrentState(), 0.25f);
  EXPECT_EQ(1u, dynamic_cast<const pod::GeneticBrainGrouped&>(*brain).generations());
}

TEST_F(GeneticBrains, SeededSynchronousRacesAreBitReproducible) {
  const std::vector<std::vector<std::string>> lineups = {
      {"Genetic", "Steering heuristics"},
      {"Steering heuristics", "Predictive genetic"},
      {"Genetic runners", "Genetic (separate)"},
      {"Gen. two runners", "Genetic"}};
  for (const auto& lineup : lineups) {
    const Race a = runRace(lineup, false, 40, DriverOptions{1234, 20}, track);
    const Race b = runRace(lineup, false, 40, DriverOptions{1234, 20}, track);
    const Race c = runRace(lineup, false, 40, DriverOptions{4321, 20}, track);
    bool differs = false;
    for (std::size_t i = 0; i < a.pods.size(); ++i) {
      EXPECT_EQ(a.pods[i].position, b.pods[i].position) << lineup[0] << " vs " << lineup[1];
      EXPECT_EQ(a.pods[i].velocity, b.pods[i].velocity);
      EXPECT_EQ(a.pods[i].angle, b.pods[i].angle);
      differs = differs || a.pods[i].position != c.pods[i].position;
    }
    EXPECT_TRUE(differs) << "another seed gives another race";
  }
  const std::vector<std::string> solo = {"Genetic runner", "Steering heuristics"};
  EXPECT_EQ(runRace(solo, true, 40, DriverOptions{77, 20}, track).pods[0].position,
            runRace(solo, true, 40, DriverOptions{77, 20}, track).pods[0].position);
}

// Every genetic driver, given a few steps per turn, races the steering
// heuristics to a decision and completes laps; the time-attack runner
// completes its race.
TEST_F(GeneticBrains, GeneticDriversCompleteLaps) {
  const pod::Track small = genetictest::rectangle(12000.f, 7000.f);
  for (const auto& name : kRaceGenetics) {
    const Race end =
        runRace({name, "Steering heuristics"}, false, 1600, DriverOptions{5, 15}, small);
    EXPECT_NE(-1, end.winner) << name;
    EXPECT_GE(std::max(end.pods[0].checkpointsCleared, end.pods[1].checkpointsCleared), 4)
        << name << " should complete a lap";
  }
  const Race solo = runRace({"Genetic runner"}, true, 1000, DriverOptions{5, 15}, small);
  EXPECT_EQ(0, solo.winner);
  EXPECT_EQ(12, solo.pods[0].checkpointsCleared);
}

} // namespace
