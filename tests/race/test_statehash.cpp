#include "race/statehash.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pod;

namespace {

Race fourMovingPods() {
  Race race;
  race.nbPodsPerTeam = 2;
  race.pods.resize(4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    PodState& p = race.pods[i];
    p.id = i;
    p.team = static_cast<int>(i / 2);
    p.position = {1000.f * static_cast<float>(i), -300.f};
    p.angle = 45.f;
    p.velocity = {10.f, 20.f};
  }
  return race;
}

} // namespace

// Any one field of any pod, or of the race, changes the hash.
TEST(StateHash, EverySingleFieldCounts) {
  using PodEdit = std::function<void(PodState&)>;
  const PodEdit podEdits[] = {
      [](PodState& p) { p.id += 7; },
      [](PodState& p) { p.position.x += 0.5f; },
      [](PodState& p) { p.position.y += 0.5f; },
      [](PodState& p) { p.angle += 0.5f; },
      [](PodState& p) { p.checkpointsCleared += 1; },
      [](PodState& p) { p.nextCheckpoint += 1; },
      [](PodState& p) { p.shieldCooldown = 3.f; },
      [](PodState& p) { p.team = 5; },
      [](PodState& p) { p.timeout += 0.25f; },
      [](PodState& p) { p.velocity.x = -p.velocity.x; },
      [](PodState& p) { p.velocity.y = -p.velocity.y; },
      [](PodState& p) { p.engine = 200.f; },
  };
  const Race base = fourMovingPods();
  const std::uint64_t baseHash = stateHash(base);
  for (std::size_t e = 0; e < std::size(podEdits); ++e) {
    for (std::size_t i = 0; i < base.pods.size(); ++i) {
      Race race = base;
      podEdits[e](race.pods[i]);
      EXPECT_NE(stateHash(race), baseHash) << "pod field " << e << " of pod " << i;
    }
  }

  const std::function<void(Race&)> raceEdits[] = {
      [](Race& r) { r.nbPodsPerTeam = 1; },
      [](Race& r) { r.timeAttack = true; },
      [](Race& r) { r.winner = 1; },
      [](Race& r) { r.byTimeout = true; },
      [](Race& r) { r.pods.pop_back(); },
      [](Race& r) { std::swap(r.pods[0], r.pods[1]); },
  };
  for (std::size_t e = 0; e < std::size(raceEdits); ++e) {
    Race race = base;
    raceEdits[e](race);
    EXPECT_NE(stateHash(race), baseHash) << "race edit " << e;
  }
  EXPECT_EQ(stateHash(fourMovingPods()), baseHash);
}
