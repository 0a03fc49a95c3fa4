// Golden digests: whole races and replays folded, turn by turn, into one
// number each. Every state and every event goes in bit for bit, so any change
// in the physics or in the planners' replays shows here. The drivers are the
// ones whose results depend on nothing but the code: the steering
// heuristics, the planner objects driven with fixed budgets and amplitudes,
// and generated commands replayed through both step lengths.

#include "brains/geneticbraingrouped.h"
#include "brains/geneticbrainseparate.h"
#include "brains/geneticbraintimeattack.h"
#include "brains/steering.h"
#include "brains/tarvokbrain.h"
#include "race/physics.h"
#include "race/statehash.h"

#include "genetictestutil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

using pod::Influence;
using pod::PhysicsEvent;
using pod::Race;
using pod::Track;
using qutils::Vec2;

namespace {

class Digest {
public:
  void add(std::uint64_t v) { h_ = (h_ ^ v) * 0x100000001b3ull; }
  void add(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    add(static_cast<std::uint64_t>(bits));
  }
  void add(const Race& race) { add(pod::stateHash(race)); }
  void add(const PhysicsEvent& e) {
    add(static_cast<std::uint64_t>(e.type) << 40 ^ static_cast<std::uint64_t>(e.firstId) << 20 ^
        static_cast<std::uint64_t>(e.secondId));
    for (float f : {e.time, e.position.x, e.position.y, e.normal.x, e.normal.y, e.strength})
      add(f);
  }
  std::uint64_t value() const { return h_; }

private:
  std::uint64_t h_ = 0xcbf29ce484222325ull;
};

// Appends the commands of one team's pods for the race as it stands.
using Driver = std::function<void(const Race&, std::vector<Influence>&)>;

struct Played {
  std::uint64_t digest = 0;
  int collisions = 0;
  int shields = 0;
};

// Quarter-step turns until a winner or maxTurns.
Played play(const Track& track, bool timeAttack, const std::vector<Driver>& drivers,
            int maxTurns) {
  pod::Physics physics;
  physics.init(timeAttack, timeAttack ? 1 : 2, static_cast<int>(drivers.size()), &track);
  Played played;
  Digest digest;
  std::vector<Influence> influences;
  std::vector<PhysicsEvent> events;
  for (int turn = 0; turn < maxTurns && physics.getCurrentState().winner == -1; ++turn) {
    influences.clear();
    for (const auto& drive : drivers)
      drive(physics.getCurrentState(), influences);
    for (const auto& i : influences)
      played.shields += i.shield ? 1 : 0;
    events.clear();
    physics.step(influences, 0.25f, events);
    digest.add(physics.getCurrentState());
    for (const auto& e : events) {
      digest.add(e);
      played.collisions += e.type == PhysicsEvent::PodCollision ? 1 : 0;
    }
  }
  played.digest = digest.value();
  return played;
}

Driver heuristics(const Track& track, int team, bool timeAttack) {
  auto brain = std::make_shared<pod::TarvokBrain>(timeAttack);
  brain->setTeam(team);
  brain->setTrack(track);
  static const pod::Physics unused;
  brain->setPhysics(unused);
  return [brain](const Race& race, std::vector<Influence>& out) { brain->think(race, out); };
}

// A fixed budget per turn, the amplitude falling from 1 to 0.1 over it.
constexpr int kSteps = 24;
float amplitude(int step) { return 0.1f + 0.9f * static_cast<float>(kSteps - step) / kSteps; }

template <class Planner>
void evolveTurn(Planner& planner) {
  for (int k = 0; k < kSteps; ++k)
    planner.evolve(amplitude(k));
}

Driver grouped(const Track& track, int team, pod::GroupedPlan plan) {
  std::shared_ptr<pod::GeneticEvolutionGrouped> planner =
      pod::makeGroupedPlanner(plan, 3, 10, track, team, 40 + team);
  return [planner](const Race& race, std::vector<Influence>& out) {
    planner->prepare(race);
    evolveTurn(*planner);
    Influence first, second;
    planner->getCommands(first, second);
    out.push_back(first);
    out.push_back(second);
  };
}

// The own plan carries over, re-seeded against an evolved opponent plan.
Driver predictive(const Track& track, int team) {
  std::shared_ptr<pod::GeneticEvolutionGrouped> own =
      pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, 10, track, team, 50);
  std::shared_ptr<pod::GeneticEvolutionGrouped> opp =
      pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, 10, track, 1 - team, 51);
  auto started = std::make_shared<bool>(false);
  return [own, opp, started](const Race& race, std::vector<Influence>& out) {
    if (!*started) {
      own->prepare(race);
      *started = true;
    }
    opp->prepare(race);
    for (int k = 0; k < kSteps / 4; ++k)
      opp->evolve(amplitude(k));
    own->prepareAgainst(race, opp->bestGenome());
    evolveTurn(*own);
    Influence first, second;
    own->getCommands(first, second);
    out.push_back(first);
    out.push_back(second);
  };
}

Driver separate(const Track& track, int team, bool hunter) {
  using pod::SeparatePlan;
  std::shared_ptr<pod::GeneticEvolutionSeparate> first = pod::makeSeparatePlanner(
      SeparatePlan::Runner, 5, 10, track, team, 2 * team, hunter, 60 + team);
  std::shared_ptr<pod::GeneticEvolutionSeparate> second =
      pod::makeSeparatePlanner(hunter ? SeparatePlan::Hunter : SeparatePlan::Runner, 5, 10,
                               track, team, 2 * team + 1, false, 70 + team);
  return [first, second](const Race& race, std::vector<Influence>& out) {
    for (const auto& planner : {first, second}) {
      planner->prepare(race);
      evolveTurn(*planner);
      Influence command;
      planner->getCommand(command);
      out.push_back(command);
    }
  };
}

Driver soloPlanner(const Track& track, int team) {
  std::shared_ptr<pod::GeneticEvolutionTimeAttack> planner =
      pod::makeTimeAttackPlanner(3, 10, track, team, 80 + team);
  return [planner](const Race& race, std::vector<Influence>& out) {
    planner->prepare(race);
    evolveTurn(*planner);
    Influence command;
    planner->getCommand(command);
    out.push_back(command);
  };
}

// Every pod drives at an opponent at full thrust, shielding now and then.
Driver rammer(int team, std::uint64_t seed) {
  auto rng = std::make_shared<qutils::Random>(seed);
  return [rng, team](const Race& race, std::vector<Influence>& out) {
    for (int i = 2 * team; i < 2 * team + 2; ++i) {
      const auto& me = race.pods[static_cast<std::size_t>(i)];
      const auto& target = race.pods[static_cast<std::size_t>((i + 2) % 4)];
      out.push_back({pod::angleTo(me, target.position), 200.f, rng->next15() < 3000});
    }
  };
}

// A small triangle: the pods meet at every checkpoint.
Track tightTrack() {
  Track track;
  track.name = "tight";
  track.checkpoints = {{10, {0.f, 0.f}}, {11, {6000.f, 0.f}}, {12, {3000.f, 5000.f}}};
  return track;
}

// Legal race states (no two pods closer than 800) with random commands, both
// drawn before use: pods over a w x h field, speeds up to 800.
Race randomState(qutils::Random& rng, float w, float h, bool timeAttack) {
  Race race;
  race.nbPodsPerTeam = timeAttack ? 1 : 2;
  race.timeAttack = timeAttack;
  race.pods.resize(4);
  for (;;) {
    for (std::uint32_t i = 0; i < 4; ++i) {
      auto& p = race.pods[i];
      p.id = i;
      p.team = static_cast<int>(timeAttack ? i : i / 2);
      p.position = {rng.uniform(0.f, w), rng.uniform(0.f, h)};
      p.velocity = Vec2::fromAngle(rng.uniform(0.f, 360.f)) * rng.uniform(0.f, 800.f);
      p.angle = rng.uniform(0.f, 360.f);
      p.nextCheckpoint = rng.uniformInt(0, 2);
      p.checkpointsCleared = rng.uniformInt(0, 8);
      p.shieldCooldown = rng.next15() < 5000 ? 2.f : 0.f;
      p.timeout = rng.uniform(0.f, 99.5f);
    }
    bool apart = true;
    for (int i = 0; i < 4; ++i)
      for (int j = i + 1; j < 4; ++j)
        apart = apart && qutils::squaredDistance(race.pods[i].position,
                                                 race.pods[j].position) >= 640000.f;
    if (apart)
      return race;
  }
}

Influence randomCommand(qutils::Random& rng) {
  return {rng.uniform(-30.f, 30.f), rng.uniform(-20.f, 220.f), rng.next15() < 2500};
}

bool podsMeetWithin(const Race& race, float dt) {
  for (std::size_t i = 0; i < race.pods.size(); ++i)
    for (std::size_t j = i + 1; j < race.pods.size(); ++j)
      if (pod::willCollide(race.pods[i], race.pods[j], dt))
        return true;
  return false;
}

// Whole-second planning steps from random states: apply, then step.
Played wholeSecondReplays(bool timeAttack, float w, float h) {
  const Track track = tightTrack();
  qutils::Random rng(timeAttack ? 7 : 5);
  Digest digest;
  Played played;
  for (int s = 0; s < 400; ++s) {
    Race race = randomState(rng, w, h, timeAttack);
    for (int step = 0; step < 10; ++step) {
      for (auto& pod : race.pods) {
        const Influence command = randomCommand(rng);
        played.shields += command.shield ? 1 : 0;
        pod::Physics::applyInfluence(pod, command, 1.f);
      }
      played.collisions += podsMeetWithin(race, 1.f) ? 1 : 0;
      if (timeAttack)
        pod::Physics::soloStepAll(race, track);
      else
        pod::Physics::referenceStep(race, track);
      digest.add(race);
    }
  }
  played.digest = digest.value();
  return played;
}

struct GoldenRace {
  const char* name;
  std::function<Played()> run;
  std::uint64_t golden;
  int minCollisions; // pod contacts (replays: steps with one ahead)
};

TEST(GoldenHashes, RacesAndReplaysKeepEveryBit) {
  const Track rect = genetictest::rectangle();
  const Track tight = tightTrack();
  using pod::GroupedPlan;
  const auto race2 = [](const Track& t, Driver a, Driver b, int turns) {
    return [&t, a, b, turns] { return play(t, false, {a, b}, turns); };
  };
  const GoldenRace races[] = {
      {"heuristics race",
       race2(rect, heuristics(rect, 0, false), heuristics(rect, 1, false), 3000),
       0xa158c20d903309cbull, 30},
      {"heuristics race, tight",
       race2(tight, heuristics(tight, 0, false), heuristics(tight, 1, false), 3000),
       0xee50f02400edb55eull, 5},
      {"heuristics time attack",
       [&] {
         return play(tight, true,
                     {heuristics(tight, 0, true), heuristics(tight, 1, true),
                      heuristics(tight, 2, true)},
                     3000);
       },
       0xb96ed0e9b03aa746ull, 0},
      {"rammers", race2(tight, rammer(0, 3), rammer(1, 4), 600), 0x4ccdadc9876cf744ull, 30},
      {"dedicated",
       race2(tight, grouped(tight, 0, GroupedPlan::Dedicated), heuristics(tight, 1, false), 400),
       0x5670cb1c962c9349ull, 5},
      {"runners",
       race2(tight, heuristics(tight, 0, false), grouped(tight, 1, GroupedPlan::Runners), 400),
       0x65b7b822a7d7766dull, 5},
      {"predictive", race2(tight, predictive(tight, 0), heuristics(tight, 1, false), 400),
       0xe40c919c69335242ull, 5},
      {"separate", race2(tight, separate(tight, 0, true), heuristics(tight, 1, false), 400),
       0xa75457eb220dd3a2ull, 5},
      {"two runners", race2(tight, heuristics(tight, 0, false), separate(tight, 1, false), 400),
       0x4093653c19debbd4ull, 5},
      {"time attack planner",
       [&] { return play(tight, true, {soloPlanner(tight, 0), heuristics(tight, 1, true)}, 400); },
       0xa016c09ebe0bda4dull, 0},
      {"whole seconds, dense", [] { return wholeSecondReplays(false, 3500.f, 3500.f); },
       0x10a8bad869483427ull, 300},
      {"whole seconds, spread", [] { return wholeSecondReplays(false, 16000.f, 9000.f); },
       0xb2be0368568e1d64ull, 50},
      {"whole seconds, solo", [] { return wholeSecondReplays(true, 16000.f, 9000.f); },
       0x2be83cf5560e6ee6ull, 0},
  };
  for (const auto& race : races) {
    const Played played = race.run();
    EXPECT_EQ(played.digest, race.golden)
        << race.name << ": 0x" << std::hex << played.digest << "ull";
    EXPECT_GE(played.collisions, race.minCollisions) << race.name;
    EXPECT_GE(played.shields, race.minCollisions) << race.name;
  }
}

} // namespace
