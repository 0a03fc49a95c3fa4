// Cost of the steering rules, which the planners call for every pod at every
// planning step, and of a whole TarvokBrain turn.

#include "brains/steering.h"
#include "brains/tarvokbrain.h"
#include "race/physics.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using pod::Influence;
using pod::Physics;
using pod::Race;
using pod::TarvokBrain;
using pod::Track;

Track benchTrack() {
  Track track;
  track.name = "bench";
  const qutils::Vec2 corners[] = {
      {2000.f, 2000.f}, {14000.f, 2500.f}, {13000.f, 7500.f}, {3000.f, 7000.f}};
  std::uint32_t id = 10;
  for (const auto& c : corners)
    track.checkpoints.push_back(pod::Checkpoint{id++, c});
  return track;
}

// States sampled from a heuristics race, so every branch of the rules (far
// runs, drift-through with the one-step copy, interception, guarding) is met
// in its natural proportion.
struct Samples {
  Track track = benchTrack();
  std::vector<Race> races;
  std::vector<Race> soloRaces;

  Samples() {
    record(false, races);
    record(true, soloRaces);
  }

  void record(bool timeAttack, std::vector<Race>& out) {
    Physics physics;
    physics.init(timeAttack, timeAttack ? 1 : 2, 2, &track);
    TarvokBrain first(timeAttack);
    TarvokBrain second(timeAttack);
    first.setTeam(0);
    second.setTeam(1);
    for (TarvokBrain* brain : {&first, &second}) {
      brain->setTrack(track);
      brain->setPhysics(physics);
    }
    std::vector<Influence> influences;
    std::vector<pod::PhysicsEvent> events;
    for (int turn = 0; turn < 1200 && physics.getCurrentState().winner == -1; ++turn) {
      if (turn % 4 == 0)
        out.push_back(physics.getCurrentState());
      influences.clear();
      first.think(physics.getCurrentState(), influences);
      second.think(physics.getCurrentState(), influences);
      events.clear();
      physics.step(influences, 0.25f, events);
    }
  }
};

const Samples& samples() {
  static const Samples s;
  return s;
}

void BM_RunnerRule(benchmark::State& state) {
  const Samples& s = samples();
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& pods = s.races[i].pods;
    benchmark::DoNotOptimize(pod::runnerRule(s.track, pods[0], pods[1], pods[2], pods[3]));
    i = i + 1 == s.races.size() ? 0 : i + 1;
  }
}
BENCHMARK(BM_RunnerRule);

void BM_HunterRule(benchmark::State& state) {
  const Samples& s = samples();
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& pods = s.races[i].pods;
    benchmark::DoNotOptimize(pod::hunterRule(s.track, pods[0], pods[1], pods[2], pods[3]));
    i = i + 1 == s.races.size() ? 0 : i + 1;
  }
}
BENCHMARK(BM_HunterRule);

void BM_SoloRunnerRule(benchmark::State& state) {
  const Samples& s = samples();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pod::soloRunnerRule(s.track, s.soloRaces[i].pods[0]));
    i = i + 1 == s.soloRaces.size() ? 0 : i + 1;
  }
}
BENCHMARK(BM_SoloRunnerRule);

// Worst case of the runner: drifting into the checkpoint, so it steps a copy.
void BM_SoloRunnerRuleDriftThrough(benchmark::State& state) {
  const Samples& s = samples();
  pod::PodState me;
  me.position = {12500.f, 2400.f};
  me.velocity = {900.f, 40.f};
  me.nextCheckpoint = 1;
  for (auto _ : state)
    benchmark::DoNotOptimize(pod::soloRunnerRule(s.track, me));
}
BENCHMARK(BM_SoloRunnerRuleDriftThrough);

void BM_TarvokThink(benchmark::State& state) {
  const Samples& s = samples();
  Physics physics;
  physics.init(false, 2, 2, &s.track);
  TarvokBrain brain(false);
  brain.setTrack(s.track);
  brain.setPhysics(physics);
  brain.setTeam(0);
  std::vector<Influence> influences;
  influences.reserve(4);
  std::size_t i = 0;
  for (auto _ : state) {
    influences.clear();
    brain.think(s.races[i], influences);
    benchmark::DoNotOptimize(influences.data());
    i = i + 1 == s.races.size() ? 0 : i + 1;
  }
}
BENCHMARK(BM_TarvokThink);

} // namespace

BENCHMARK_MAIN();
