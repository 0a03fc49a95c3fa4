// Speed of the genetic planners: evolution steps per second for each planner
// class, and evolution steps per turn that each threaded brain gets at each
// game speed (real worker threads, 100 turns of a real race).

#include "brains/driverregistry.h"
#include "brains/geneticbraingrouped.h"
#include "brains/geneticbrainseparate.h"
#include "brains/geneticbraintimeattack.h"
#include "brains/plannerstats.h"
#include "brains/tarvokbrain.h"
#include "race/physics.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// Counts heap allocations, to check that an evolution step makes none.
std::atomic<std::uint64_t> gAllocations{0};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

using Clock = std::chrono::steady_clock;

pod::Track benchTrack() {
  pod::Track track;
  track.name = "bench";
  const qutils::Vec2 points[] = {{0.f, 0.f},         {14000.f, -1500.f}, {19000.f, 6000.f},
                                 {11000.f, 11000.f}, {2000.f, 9000.f},   {-3000.f, 4000.f}};
  std::uint32_t id = 10;
  for (const auto& p : points)
    track.checkpoints.push_back(pod::Checkpoint{id++, p});
  return track;
}

// A mid-race state: the starting grid after 60 turns of steering heuristics.
pod::Race midRace(const pod::Track& track, bool timeAttack) {
  pod::Physics physics;
  physics.init(timeAttack, timeAttack ? 1 : 2, 2, &track);
  std::vector<std::unique_ptr<pod::AbstractBrain>> brains;
  for (int t = 0; t < 2; ++t) {
    brains.push_back(std::make_unique<pod::TarvokBrain>(timeAttack));
    brains.back()->setTeam(t);
    brains.back()->setTrack(track);
    brains.back()->setPhysics(physics);
  }
  std::vector<pod::Influence> influences;
  std::vector<pod::PhysicsEvent> events;
  for (int turn = 0; turn < 60; ++turn) {
    influences.clear();
    for (auto& b : brains)
      b->think(physics.getCurrentState(), influences);
    physics.step(influences, 0.25f, events);
  }
  return physics.getCurrentState();
}

enum PlannerKind { Dedicated, Runners, SeparateRunner, SeparateHunter, SeparateTwoRunners, Solo };

template <class Planner>
void evolveLoop(benchmark::State& state, Planner& planner, const pod::Race& race) {
  planner.prepare(race);
  std::vector<double> samples;
  samples.reserve(1 << 16);
  const std::uint64_t allocationsBefore = gAllocations.load();
  for (auto _ : state) {
    const auto t0 = Clock::now();
    planner.evolve(0.4f);
    samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    if (samples.size() == samples.capacity())
      samples.clear();
  }
  state.counters["allocs_per_step"] =
      static_cast<double>(gAllocations.load() - allocationsBefore) /
      static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
  state.SetItemsProcessed(state.iterations());
  if (!samples.empty()) {
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    state.counters["median_us"] = samples[samples.size() / 2];
  }
}

void BM_Evolve(benchmark::State& state) {
  static const pod::Track track = benchTrack();
  const auto kind = static_cast<PlannerKind>(state.range(0));
  const pod::Race race = midRace(track, kind == Solo);
  switch (kind) {
  case Dedicated:
  case Runners: {
    auto planner = pod::makeGroupedPlanner(
        kind == Dedicated ? pod::GroupedPlan::Dedicated : pod::GroupedPlan::Runners, 3, 10,
        track, 0, 1);
    evolveLoop(state, *planner, race);
    break;
  }
  case SeparateRunner:
  case SeparateHunter:
  case SeparateTwoRunners: {
    auto planner = pod::makeSeparatePlanner(
        kind == SeparateHunter ? pod::SeparatePlan::Hunter : pod::SeparatePlan::Runner, 5, 10,
        track, 0, kind == SeparateHunter ? 1 : 0, kind == SeparateRunner, 1);
    evolveLoop(state, *planner, race);
    break;
  }
  case Solo: {
    auto planner = pod::makeTimeAttackPlanner(3, 10, track, 0, 1);
    evolveLoop(state, *planner, race);
    break;
  }
  }
}

BENCHMARK(BM_Evolve)
    ->ArgName("planner")
    ->Arg(Dedicated)
    ->Arg(Runners)
    ->Arg(SeparateRunner)
    ->Arg(SeparateHunter)
    ->Arg(SeparateTwoRunners)
    ->Arg(Solo);

void BM_Prepare(benchmark::State& state) {
  static const pod::Track track = benchTrack();
  const pod::Race race = midRace(track, false);
  auto planner = pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, 10, track, 0, 1);
  for (auto _ : state)
    planner->prepare(race);
}
BENCHMARK(BM_Prepare);

// One brain on team 0 against the steering heuristics (alone in time attack),
// 100 turns with the real time of a game speed between turns.
const char* const kBrains[] = {"Genetic",           "Predictive genetic", "Genetic runners",
                               "Genetic (separate)", "Gen. two runners",  "Genetic runner"};
const double kSpeeds[] = {0.2, 1.0 / 13.0, 1.0 / 19.0, 0.04, 0.03125, 0.02};

void BM_BrainTurns(benchmark::State& state) {
  static const pod::Track track = benchTrack();
  const std::string name = kBrains[state.range(0)];
  const double period = kSpeeds[state.range(1)];
  const bool timeAttack = name == "Genetic runner";
  double stepsPerTurn = 0.0;
  double ownStepsPerTurn = 0.0;
  for (auto _ : state) {
    pod::Physics physics;
    physics.init(timeAttack, timeAttack ? 1 : 2, timeAttack ? 1 : 2, &track);
    std::vector<std::unique_ptr<pod::AbstractBrain>> brains;
    brains.push_back(pod::createDriver(name, timeAttack, pod::DriverOptions{}));
    if (!timeAttack)
      brains.push_back(std::make_unique<pod::TarvokBrain>(false));
    for (std::size_t t = 0; t < brains.size(); ++t) {
      brains[t]->setTeam(static_cast<int>(t));
      brains[t]->setTrack(track);
      brains[t]->setPhysics(physics);
    }
    auto* stats = dynamic_cast<pod::PlannerStats*>(brains[0].get());
    auto* grouped = dynamic_cast<pod::GeneticBrainGrouped*>(brains[0].get());
    std::vector<pod::Influence> influences;
    std::vector<pod::PhysicsEvent> events;
    const int turns = 100;
    std::uint64_t ownSteps = 0;
    auto deadline = Clock::now();
    for (int turn = 0; turn < turns; ++turn) {
      influences.clear();
      for (auto& b : brains)
        b->think(physics.getCurrentState(), influences);
      physics.step(influences, 0.25f, events);
      events.clear();
      if (grouped && turn > 0)
        ownSteps += grouped->generations();
      for (auto& b : brains)
        b->turnDone(physics.getCurrentState(), 0.25f);
      deadline += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(period));
      std::this_thread::sleep_until(deadline);
    }
    stepsPerTurn = static_cast<double>(stats->totalEvolutionSteps()) / turns;
    ownStepsPerTurn = grouped ? static_cast<double>(ownSteps) / (turns - 1) : stepsPerTurn;
  }
  state.counters["steps_per_turn"] = stepsPerTurn;
  state.counters["own_generations_per_turn"] = ownStepsPerTurn;
  state.SetLabel(name + " @ " + std::to_string(period) + " s");
}

BENCHMARK(BM_BrainTurns)
    ->ArgNames({"brain", "speed"})
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5}})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
