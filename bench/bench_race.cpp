#include "race/collisions.h"
#include "race/physics.h"

#include <qutils/random.h>

#include <benchmark/benchmark.h>

#include <algorithm>

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

// The planners' whole-second step (apply the commands, then the reference
// step) on contact-heavy states: 20000 legal race states drawn beforehand, 4
// pods spread over the 16000 x 9000 field with speeds up to 800, each stepped
// 10 times with commands drawn beforehand too, so no random draw is timed.
struct WholeSecondWork {
  static constexpr int kStates = 20000;
  static constexpr int kSteps = 10;
  std::vector<PodState> pods;        // 4 per state
  std::vector<Influence> commands;   // 4 per step, kSteps steps per state
};

const WholeSecondWork& wholeSecondWork() {
  static const WholeSecondWork work = [] {
    WholeSecondWork w;
    qutils::Random rng(2024);
    w.pods.reserve(4 * WholeSecondWork::kStates);
    for (int s = 0; s < WholeSecondWork::kStates; ++s) {
      PodState p[4];
      bool apart = false;
      while (!apart) {
        for (std::uint32_t i = 0; i < 4; ++i) {
          p[i] = PodState{};
          p[i].id = i;
          p[i].team = static_cast<int>(i / 2);
          p[i].position = {rng.uniform(0.f, 16000.f), rng.uniform(0.f, 9000.f)};
          p[i].velocity = Vec2::fromAngle(rng.uniform(0.f, 360.f)) * rng.uniform(0.f, 800.f);
          p[i].angle = rng.uniform(0.f, 360.f);
          p[i].nextCheckpoint = rng.uniformInt(0, 2);
          p[i].shieldCooldown = rng.next15() < 4000 ? 2.f : 0.f;
          p[i].timeout = rng.uniform(0.f, 90.f);
        }
        apart = true;
        for (int i = 0; i < 4; ++i)
          for (int j = i + 1; j < 4; ++j)
            apart = apart && qutils::squaredDistance(p[i].position, p[j].position) >= 640000.f;
      }
      w.pods.insert(w.pods.end(), p, p + 4);
    }
    w.commands.resize(4u * WholeSecondWork::kStates * WholeSecondWork::kSteps);
    for (auto& c : w.commands)
      c = {rng.uniform(-18.f, 18.f), rng.uniform(0.f, 200.f), rng.next15() < 3000};
    return w;
  }();
  return work;
}

void BM_WholeSecondStepContactHeavy(benchmark::State& state) {
  const Track track = benchTrack();
  const WholeSecondWork& work = wholeSecondWork();
  Race race = spreadRace();
  std::size_t s = 0;
  for (auto _ : state) {
    std::copy_n(work.pods.begin() + static_cast<std::ptrdiff_t>(4 * s), 4, race.pods.begin());
    const Influence* commands = &work.commands[4 * WholeSecondWork::kSteps * s];
    for (int step = 0; step < WholeSecondWork::kSteps; ++step, commands += 4) {
      for (std::size_t i = 0; i < 4; ++i)
        Physics::applyInfluence(race.pods[i], commands[i], 1.f);
      Physics::referenceStep(race, track);
    }
    benchmark::DoNotOptimize(race.pods.data());
    if (++s == WholeSecondWork::kStates)
      s = 0;
  }
  // Time per step, not per state.
  state.counters["step"] = benchmark::Counter(
      WholeSecondWork::kSteps,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WholeSecondStepContactHeavy);

} // namespace

BENCHMARK_MAIN();
