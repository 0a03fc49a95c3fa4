#include "brains/playerbrain.h"
#include "brains/steering.h"
#include "race/physics.h"
#include "genetictestutil.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace pod;

using genetictest::sameInfluence;

namespace {

class FakeButtons : public ButtonStates {
public:
  bool isHeld(const std::string& button) const override { return held.count(button) > 0; }
  std::set<std::string> held;
};

Track playTrack() {
  Track t;
  t.checkpoints = {{10, {0, 0}}, {11, {8000, 0}}, {12, {4000, 6000}}};
  return t;
}

} // namespace

TEST(PlayerBrain, KeysMapToCommandsWithRightWinningOverLeft) {
  FakeButtons keys;
  keys.held = {"right", "left", "up", "down"};
  const Influence main = keyboardInfluence(keys, true);
  EXPECT_FLOAT_EQ(main.rotation, -18.f);
  EXPECT_FLOAT_EQ(main.thrust, 200.f);
  EXPECT_TRUE(main.shield); // the physics then gives no thrust

  keys.held = {"left"};
  EXPECT_FLOAT_EQ(keyboardInfluence(keys, true).rotation, 18.f);
  // The letter set ignores the arrows and answers to its own buttons.
  EXPECT_FLOAT_EQ(keyboardInfluence(keys, false).rotation, 0.f);
  keys.held = {"altLeft", "altUp"};
  const Influence alt = keyboardInfluence(keys, false);
  EXPECT_FLOAT_EQ(alt.rotation, 18.f);
  EXPECT_FLOAT_EQ(alt.thrust, 200.f);
  EXPECT_FALSE(alt.shield);
}

TEST(PlayerBrain, BlockerHuntsTheLeadingOpponent) {
  const Track track = playTrack();
  Physics physics;
  physics.init(false, 2, 2, &track);
  Race race = physics.getCurrentState();
  // Team 1's second pod leads by a checkpoint: the blocker must hunt it.
  race.pods[3].checkpointsCleared = 1;
  race.pods[3].nextCheckpoint = 2;
  race.pods[3].position = {7000, 2000};

  FakeButtons keys;
  keys.held = {"up"};
  PlayerBrain brain(keys);
  brain.setTeam(0);
  brain.setTrack(track);
  brain.setPhysics(physics);
  std::vector<Influence> out;
  brain.think(race, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_FLOAT_EQ(out[0].thrust, 200.f);
  const Influence expected = hunterRule(track, race.pods[0], race.pods[1], race.pods[3], race.pods[2]);
  EXPECT_TRUE(sameInfluence(out[1], expected));

  // Team 1 with the letter keys reads only them.
  PlayerBrain second(keys);
  second.setMainKeys(false);
  second.setTeam(1);
  second.setTrack(track);
  out.clear();
  second.think(race, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_FLOAT_EQ(out[0].thrust, 0.f);
}

TEST(PlayerBrain, OnePodTeamsAndTwoPlayers) {
  const Track track = playTrack();
  Physics solo;
  solo.init(true, 1, 2, &track);
  FakeButtons keys;
  keys.held = {"altUp", "right"};
  PlayerBrain p2(keys);
  p2.setMainKeys(false);
  p2.setTeam(1);
  p2.setTrack(track);
  std::vector<Influence> out;
  p2.think(solo.getCurrentState(), out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_FLOAT_EQ(out[0].thrust, 200.f);
  EXPECT_FLOAT_EQ(out[0].rotation, 0.f);

  Physics race;
  race.init(false, 2, 2, &track);
  TwoPlayerBrain both(keys);
  both.setTeam(1);
  both.setTrack(track);
  out.clear();
  both.think(race.getCurrentState(), out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_FLOAT_EQ(out[0].rotation, -18.f); // arrows drive the first pod
  EXPECT_FLOAT_EQ(out[0].thrust, 0.f);
  EXPECT_FLOAT_EQ(out[1].thrust, 200.f);   // letters drive the second
  EXPECT_FLOAT_EQ(out[1].rotation, 0.f);
}
