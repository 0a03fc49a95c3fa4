#include "race/collisions.h"
#include "race/physics.h"

#include <benchmark/benchmark.h>

using namespace pod;
using qutils::Vec2;

namespace {

Track benchTrack() {
  Track t;
  t.name = "bench";
  t.checkpoints = {{10, {-6000, 0}}, {11, {6000, 2000}}, {12, {0, -3500}}};
  return t;
}

// Four pods racing side by side, far from each other: no contact in a step.
Race spreadRace() {
  Race race;
  race.nbPodsPerTeam = 2;
  race.pods.resize(4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    race.pods[i].id = i;
    race.pods[i].team = static_cast<int>(i / 2);
    race.pods[i].position = {-3000.f, -3000.f + 2000.f * static_cast<float>(i)};
    race.pods[i].velocity = {400.f, 10.f};
  }
  return race;
}

// Pods 0 and 2 meet head on within the step.
Race contactRace() {
  Race race = spreadRace();
  race.pods[0].position = {-500, 0};
  race.pods[0].velocity = {300, 0};
  race.pods[2].position = {500, 0};
  race.pods[2].velocity = {-300, 0};
  return race;
}

void BM_ContactTime(benchmark::State& state) {
  Vec2 a(-1000, 300);
  const Vec2 va(150, 0);
  const Vec2 b(0, 0);
  float t = 0.f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(qutils::contactTime(a, va, 400.f, b, Vec2(), 200.f, t));
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_ContactTime);

void BM_RaceStepQuarter(benchmark::State& state, bool contact) {
  const Track track = benchTrack();
  Physics physics;
  physics.init(false, 2, 2, &track);
  const Race start = contact ? contactRace() : spreadRace();
  const std::vector<Influence> inf(4, Influence{5.f, 100.f, false});
  std::vector<PhysicsEvent> events;
  events.reserve(16);
  Race race = start;
  for (auto _ : state) {
    race = start;
    events.clear();
    moveWithCollisions(race, track, 0.25f, &events);
    for (std::size_t i = 0; i < 4; ++i)
      Physics::applyInfluence(race.pods[i], inf[i], 0.25f);
    benchmark::DoNotOptimize(race.pods.data());
  }
}
BENCHMARK_CAPTURE(BM_RaceStepQuarter, no_contact, false);
BENCHMARK_CAPTURE(BM_RaceStepQuarter, with_contact, true);

void BM_ReferenceStep(benchmark::State& state) {
  const Track track = benchTrack();
  const Race start = spreadRace();
  Race race = start;
  for (auto _ : state) {
    race = start; // reuses the pod storage: no allocation
    Physics::referenceStep(race, track);
    benchmark::DoNotOptimize(race.pods.data());
  }
}
BENCHMARK(BM_ReferenceStep);

void BM_PhysicsStep(benchmark::State& state) {
  const Track track = benchTrack();
  Physics physics;
  const std::vector<Influence> inf(4, Influence{3.f, 200.f, false});
  std::vector<PhysicsEvent> events;
  events.reserve(64);
  int steps = 0;
  physics.init(false, 2, 2, &track);
  for (auto _ : state) {
    if (++steps == 400) { // restart before the team timeout ends the race
      state.PauseTiming();
      physics.init(false, 2, 2, &track);
      steps = 0;
      state.ResumeTiming();
    }
    events.clear();
    physics.step(inf, 0.25f, events);
  }
}
BENCHMARK(BM_PhysicsStep);

} // namespace

BENCHMARK_MAIN();
