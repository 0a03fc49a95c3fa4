#include "brains/driverregistry.h"
#include "brains/geneticbraingrouped.h"
#include "brains/geneticbrainseparate.h"
#include "brains/geneticbraintimeattack.h"
#include "brains/plannerstats.h"
#include "race/physics.h"

#include "genetictestutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
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

std::unique_ptr<AbstractBrain> makeBrain(const std::string& name, const pod::Physics& physics,
                                         const pod::Track& track, int team, bool timeAttack,
                                         const DriverOptions& options) {
  auto brain = pod::createDriver(name, timeAttack, options);
  if (brain) {
    brain->setTeam(team);
    brain->setPhysics(physics);
    brain->setTrack(track);
  }
  return brain;
}

struct RaceRun {
  std::vector<pod::PodState> pods;
  int winner = -1;
  int turns = 0;
  std::vector<std::uint64_t> steps;
  std::vector<std::uint64_t> turnsPlanned;
};

// Races the drivers, one per team, for at most maxTurns turns of 0.25 s.
RaceRun runRace(const std::vector<std::string>& drivers, bool timeAttack, int maxTurns,
                const DriverOptions& options, const pod::Track& track) {
  pod::Physics physics;
  physics.init(timeAttack, timeAttack ? 1 : 2, static_cast<int>(drivers.size()), &track);
  std::vector<std::unique_ptr<AbstractBrain>> brains;
  for (std::size_t t = 0; t < drivers.size(); ++t) {
    DriverOptions o = options;
    o.seed = options.seed + t; // each team its own streams
    brains.push_back(makeBrain(drivers[t], physics, track, static_cast<int>(t), timeAttack, o));
  }
  RaceRun run;
  std::vector<Influence> influences;
  std::vector<pod::PhysicsEvent> events;
  for (; run.turns < maxTurns && physics.getCurrentState().winner == -1; ++run.turns) {
    influences.clear();
    for (auto& brain : brains)
      brain->think(physics.getCurrentState(), influences);
    physics.step(influences, 0.25f, events);
    for (auto& brain : brains)
      brain->turnDone(physics.getCurrentState(), 0.25f);
  }
  run.pods = physics.getCurrentState().pods;
  run.winner = physics.getCurrentState().winner;
  for (auto& brain : brains) {
    if (auto* stats = dynamic_cast<PlannerStats*>(brain.get())) {
      run.steps.push_back(stats->totalEvolutionSteps());
      run.turnsPlanned.push_back(stats->turnsPlanned());
    }
  }
  return run;
}

class GeneticBrains : public ::testing::Test {
protected:
  pod::Track track = genetictest::rectangle();
  pod::Physics physics;
  void SetUp() override { physics.init(false, 2, 2, &track); }
};

// ---------------------------------------------------------------- registry

TEST_F(GeneticBrains, RegistryOffersTheGeneticDriversInMenuOrder) {
  const std::vector<std::string> race = pod::computerDriverNames(false);
  ASSERT_EQ(6u, race.size());
  EXPECT_EQ("Steering heuristics", race[0]);
  for (std::size_t i = 0; i < kRaceGenetics.size(); ++i)
    EXPECT_EQ(kRaceGenetics[i], race[i + 1]);
  const std::vector<std::string> solo = pod::computerDriverNames(true);
  ASSERT_EQ(2u, solo.size());
  EXPECT_EQ("Genetic runner", solo[1]);

  for (const auto& name : kRaceGenetics) {
    auto brain = pod::createDriver(name, false);
    ASSERT_NE(nullptr, brain) << name;
    EXPECT_NE(nullptr, dynamic_cast<PlannerStats*>(brain.get())) << name;
    EXPECT_EQ(nullptr, pod::createDriver(name, true)) << name;
  }
  EXPECT_NE(nullptr, dynamic_cast<pod::GeneticBrainTimeAttack*>(
                         pod::createDriver("Genetic runner", true).get()));
  EXPECT_EQ(nullptr, pod::createDriver("Genetic runner", false));

  auto predictive = pod::createDriver("Predictive genetic", false);
  auto* grouped = dynamic_cast<pod::GeneticBrainGrouped*>(predictive.get());
  ASSERT_NE(nullptr, grouped);
  EXPECT_TRUE(grouped->dedicated() && grouped->predictive());
  auto twoRunners = pod::createDriver("Gen. two runners", false);
  auto* separate = dynamic_cast<pod::GeneticBrainSeparate*>(twoRunners.get());
  ASSERT_NE(nullptr, separate);
  EXPECT_FALSE(separate->hunter());
}

// ---------------------------------------------------------------- life cycle

TEST_F(GeneticBrains, ThinkBeforeAnyStepGivesNeutralCommands) {
  for (const auto& name : kRaceGenetics) {
    for (int evals : {0, 5}) {
      auto brain = makeBrain(name, physics, track, 1, false, DriverOptions{3, evals});
      std::vector<Influence> influences;
      brain->think(physics.getCurrentState(), influences);
      ASSERT_EQ(2u, influences.size()) << name;
      EXPECT_TRUE(isNeutral(influences[0]) && isNeutral(influences[1])) << name;
    }
  }
  pod::Physics solo;
  solo.init(true, 1, 3, &track);
  auto brain = makeBrain("Genetic runner", solo, track, 2, true, DriverOptions{});
  std::vector<Influence> influences;
  brain->think(solo.getCurrentState(), influences);
  ASSERT_EQ(1u, influences.size());
  EXPECT_TRUE(isNeutral(influences[0]));
}

TEST_F(GeneticBrains, FirstNotificationStartsTheWorkersOnlyOnce) {
  for (int evals : {0, 3}) {
    pod::GeneticBrainGrouped grouped(0, DriverOptions{1, evals});
    pod::GeneticBrainSeparate separate(0, DriverOptions{1, evals});
    pod::GeneticBrainGrouped predictive(1, DriverOptions{1, evals});
    for (AbstractBrain* b : std::vector<AbstractBrain*>{&grouped, &separate, &predictive}) {
      b->setTrack(track);
      b->setPhysics(physics);
      b->setTeam(1);
    }
    EXPECT_EQ(0, grouped.workersStarted());
    EXPECT_EQ(0, separate.workersStarted());
    for (int turn = 0; turn < 4; ++turn) {
      grouped.turnDone(physics.getCurrentState(), 0.25f);
      separate.turnDone(physics.getCurrentState(), 0.25f);
      predictive.turnDone(physics.getCurrentState(), 0.25f);
      EXPECT_EQ(1, grouped.workersStarted());
      EXPECT_EQ(2, separate.workersStarted());
      EXPECT_EQ(1, predictive.workersStarted());
    }
    EXPECT_EQ(4u, grouped.turnsPlanned());
    EXPECT_EQ(4u, separate.turnsPlanned());
  }
}

TEST_F(GeneticBrains, OnlyThreadedGroupedBrainsAnnounceTheirWorker) {
  const struct {
    const char* name;
    int evals;
    const char* line;
  } cases[] = {{"Genetic", 0, "Starting dedicated grouped thread\n"},
               {"Predictive genetic", 0, "Starting dedicated grouped thread\n"},
               {"Genetic runners", 0, "Starting runners grouped thread\n"},
               {"Genetic (separate)", 0, ""},
               {"Genetic", 4, ""},
               {"Genetic runners", 4, ""}};
  for (const auto& c : cases) {
    testing::internal::CaptureStdout();
    {
      auto brain = makeBrain(c.name, physics, track, 0, false, DriverOptions{2, c.evals});
      for (int turn = 0; turn < 3; ++turn)
        brain->turnDone(physics.getCurrentState(), 0.25f);
    }
    EXPECT_EQ(c.line, testing::internal::GetCapturedStdout()) << c.name;
  }
}

TEST_F(GeneticBrains, ThreadedWorkersPublishPlansAndCountGenerations) {
  for (const auto& name : kRaceGenetics) {
    auto brain = makeBrain(name, physics, track, 0, false, DriverOptions{5, 0});
    auto* stats = dynamic_cast<PlannerStats*>(brain.get());
    brain->turnDone(physics.getCurrentState(), 0.25f);
    ASSERT_TRUE(eventually([&] { return stats->totalEvolutionSteps() > 20; })) << name;
    std::vector<Influence> influences;
    // A published plan of the starting grid moves the pods forward.
    ASSERT_TRUE(eventually([&] {
      influences.clear();
      brain->think(physics.getCurrentState(), influences);
      return !isNeutral(influences[0]) || !isNeutral(influences[1]);
    })) << name;
    EXPECT_EQ(2u, influences.size());
    if (auto* grouped = dynamic_cast<pod::GeneticBrainGrouped*>(brain.get())) {
      ASSERT_TRUE(eventually([&] { return grouped->generations() > 0; })) << name;
    }
  }
}

TEST_F(GeneticBrains, DestroyingMidEvolutionJoinsTheWorkers) {
  for (const auto& name : kRaceGenetics) {
    auto brain = makeBrain(name, physics, track, 1, false, DriverOptions{8, 0});
    auto* stats = dynamic_cast<PlannerStats*>(brain.get());
    brain->turnDone(physics.getCurrentState(), 0.25f);
    ASSERT_TRUE(eventually([&] { return stats->totalEvolutionSteps() > 0; })) << name;
    brain.reset(); // joins; a worker left running would be reported by the sanitizers
  }
  pod::Physics solo;
  solo.init(true, 1, 2, &track);
  auto brain = makeBrain("Genetic runner", solo, track, 1, true, DriverOptions{8, 0});
  brain->turnDone(solo.getCurrentState(), 0.25f);
  auto* stats = dynamic_cast<PlannerStats*>(brain.get());
  ASSERT_TRUE(eventually([&] { return stats->totalEvolutionSteps() > 0; }));
  brain.reset();
}

TEST_F(GeneticBrains, ManyCreateNotifyThinkDestroyCycles) {
  pod::Physics solo;
  solo.init(true, 1, 2, &track);
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
  const int k = 30;
  for (const auto& name : kRaceGenetics) {
    auto brain = makeBrain(name, physics, track, 0, false, DriverOptions{11, k});
    auto* stats = dynamic_cast<PlannerStats*>(brain.get());
    for (int turn = 1; turn <= 3; ++turn) {
      brain->turnDone(physics.getCurrentState(), 0.25f);
      const std::uint64_t perTurn = name.find("separate") != std::string::npos ||
                                            name == "Gen. two runners"
                                        ? 2 * k
                                        : k;
      EXPECT_EQ(perTurn * static_cast<std::uint64_t>(turn), stats->totalEvolutionSteps())
          << name;
      if (auto* grouped = dynamic_cast<pod::GeneticBrainGrouped*>(brain.get())) {
        // The predictive brain spends the first tenth on the opponent.
        EXPECT_EQ(grouped->predictive() ? static_cast<std::uint32_t>(k - k / 10)
                                        : static_cast<std::uint32_t>(k),
                  grouped->generations())
            << name;
      }
      if (auto* separate = dynamic_cast<pod::GeneticBrainSeparate*>(brain.get())) {
        EXPECT_EQ(static_cast<std::uint32_t>(k), separate->generations1());
        EXPECT_EQ(static_cast<std::uint32_t>(k), separate->generations2());
      }
    }
    std::vector<Influence> influences;
    brain->think(physics.getCurrentState(), influences);
    EXPECT_TRUE(!isNeutral(influences[0]) || !isNeutral(influences[1])) << name;
  }
}

TEST_F(GeneticBrains, SeededSynchronousRacesAreBitReproducible) {
  const std::vector<std::vector<std::string>> lineups = {
      {"Genetic", "Steering heuristics"},
      {"Steering heuristics", "Predictive genetic"},
      {"Genetic runners", "Genetic (separate)"},
      {"Gen. two runners", "Genetic"}};
  for (const auto& lineup : lineups) {
    const RaceRun a = runRace(lineup, false, 40, DriverOptions{1234, 20}, track);
    const RaceRun b = runRace(lineup, false, 40, DriverOptions{1234, 20}, track);
    const RaceRun c = runRace(lineup, false, 40, DriverOptions{4321, 20}, track);
    ASSERT_EQ(a.pods.size(), b.pods.size());
    bool differs = false;
    for (std::size_t i = 0; i < a.pods.size(); ++i) {
      EXPECT_EQ(a.pods[i].position, b.pods[i].position) << lineup[0] << " vs " << lineup[1];
      EXPECT_EQ(a.pods[i].velocity, b.pods[i].velocity);
      EXPECT_EQ(a.pods[i].angle, b.pods[i].angle);
      EXPECT_EQ(a.pods[i].checkpointsCleared, b.pods[i].checkpointsCleared);
      differs = differs || a.pods[i].position != c.pods[i].position;
    }
    EXPECT_TRUE(differs) << "another seed gives another race";
    EXPECT_EQ(a.steps, b.steps);
    for (std::size_t i = 0; i < a.turnsPlanned.size(); ++i)
      EXPECT_EQ(static_cast<std::uint64_t>(a.turns), a.turnsPlanned[i]);
  }
  const RaceRun soloA = runRace({"Genetic runner", "Steering heuristics"}, true, 40,
                                DriverOptions{77, 20}, track);
  const RaceRun soloB = runRace({"Genetic runner", "Steering heuristics"}, true, 40,
                                DriverOptions{77, 20}, track);
  EXPECT_EQ(soloA.pods[0].position, soloB.pods[0].position);
  EXPECT_EQ(soloA.pods[0].angle, soloB.pods[0].angle);
}

TEST_F(GeneticBrains, GeneticDriversCompleteLaps) {
  // Every genetic driver, given a few steps per turn, races the steering
  // heuristics to a decision and completes laps; the time-attack runner
  // completes its race.
  const pod::Track small = genetictest::rectangle(12000.f, 7000.f);
  for (const auto& name : kRaceGenetics) {
    const RaceRun run =
        runRace({name, "Steering heuristics"}, false, 1600, DriverOptions{5, 15}, small);
    EXPECT_NE(-1, run.winner) << name;
    const int cleared = std::max(run.pods[0].checkpointsCleared, run.pods[1].checkpointsCleared);
    EXPECT_GE(cleared, 4) << name << " should complete a lap";
  }
  const RaceRun solo = runRace({"Genetic runner"}, true, 1000, DriverOptions{5, 15}, small);
  EXPECT_EQ(0, solo.winner);
  EXPECT_EQ(12, solo.pods[0].checkpointsCleared);
}

} // namespace
