#include "racerunner.h"
#include "tournament.h"
#include "trackgen.h"

#include "brains/plannerstats.h"
#include "race/physics.h"
#include "race/racerules.h"
#include "race/statehash.h"

#include <gtest/gtest.h>

#include <qutils/random.h>

#include <chrono>
#include <limits>
#include <set>
#include <tuple>

namespace pod::arena {
namespace {

const std::string kSteering = "Steering heuristics";

Track sampleTrack() { return generateTracks(5, 1).front(); }

// Never moves: every pod drifts until it times out.
class IdleBrain : public AbstractBrain {
public:
  void think(const Race& race, std::vector<Influence>& influences) override {
    for (int i = 0; i < race.nbPodsPerTeam; ++i)
      influences.push_back({});
  }
};

// Checks the turn contract: think sees the state that the previous turnDone
// got, and turnDone sees the physics' state after the step.
class RecordingBrain : public IdleBrain {
public:
  explicit RecordingBrain(int& turns) : turns_(turns) {}
  void think(const Race& race, std::vector<Influence>& influences) override {
    EXPECT_EQ(stateHash(race), lastSeen_);
    IdleBrain::think(race, influences);
  }
  void turnDone(const Race& race, float turnTime) override {
    EXPECT_EQ(turnTime, kTurnTime);
    EXPECT_EQ(stateHash(race), stateHash(physics_->getCurrentState()));
    lastSeen_ = stateHash(race);
    ++turns_;
  }
  void setPhysics(const Physics& physics) override {
    AbstractBrain::setPhysics(physics);
    lastSeen_ = stateHash(physics.getCurrentState());
  }

private:
  int& turns_;
  std::uint64_t lastSeen_ = 0;
};

class FakePlanner : public IdleBrain, public PlannerStats {
public:
  void turnDone(const Race&, float) override {
    ++turns_;
    steps_ += 7;
  }
  std::uint64_t totalEvolutionSteps() const override { return steps_; }
  std::uint64_t turnsPlanned() const override { return turns_; }
  const pod::ThinkRecord& thinkRecord(int) const override { return record_; }

private:
  pod::ThinkRecord record_;
  std::uint64_t steps_ = 0;
  std::uint64_t turns_ = 0;
};

template <typename Brain>
std::vector<std::unique_ptr<AbstractBrain>> brains(int count) {
  std::vector<std::unique_ptr<AbstractBrain>> list;
  for (int i = 0; i < count; ++i)
    list.push_back(std::make_unique<Brain>());
  return list;
}

TEST(RaceRunner, SameSeededRaceTwiceGivesTheSameStateEveryTurn) {
  const auto tracks = generateTracks(5, 2);
  RaceLimits limits;
  limits.keepTurnHashes = true;
  const auto first = playRace(tracks[0], false, {kSteering, kSteering}, {11, 12}, limits);
  const auto second = playRace(tracks[0], false, {kSteering, kSteering}, {11, 12}, limits);
  ASSERT_NE(first.winner, -1);
  EXPECT_EQ(first.turns, static_cast<int>(first.turnHashes.size()));
  EXPECT_EQ(first.turnHashes, second.turnHashes);
  EXPECT_EQ(first.fingerprint, second.fingerprint);
  // Another race has another fingerprint.
  const auto other = playRace(tracks[1], false, {kSteering, kSteering}, {11, 12}, limits);
  EXPECT_NE(first.fingerprint, other.fingerprint);
}

TEST(Tournament, OneAndTwoJobsPlayTheSameRacesTurnForTurn) {
  TournamentConfig config;
  config.matchups = {{{kSteering, kSteering}}};
  config.tracks = generateTracks(3, 3);
  config.racesPerTrack = 2;
  config.swap = true;
  config.seed = 77;
  config.limits.keepTurnHashes = true;
  const auto jobs = scheduleRaces(config);
  ASSERT_EQ(jobs.size(), 3u * 2u * 2u);

  config.jobs = 1;
  const auto serial = playTournament(config, jobs);
  config.jobs = 2;
  const auto parallel = playTournament(config, jobs);
  ASSERT_EQ(serial.size(), parallel.size());
  for (std::size_t i = 0; i < serial.size(); ++i) {
    EXPECT_FALSE(serial[i].outcome.turnHashes.empty());
    EXPECT_EQ(serial[i].outcome.turnHashes, parallel[i].outcome.turnHashes) << "race " << i;
  }
}

// A race and its swap share their seed (the order test below); the two
// teams of a race draw different seeds, and a time attack rotates the line-up.
TEST(Tournament, DriverSeedsAndTimeAttackRotations) {
  TournamentConfig config;
  config.tracks = generateTracks(1, 2);
  config.swap = true;
  EXPECT_NE(driverSeed(77, 0), driverSeed(77, 1));
  config.timeAttack = true;
  config.matchups = {{{"A", "B", "C"}}};
  config.racesPerTrack = 1;
  const auto rotations = scheduleRaces(config);
  ASSERT_EQ(rotations.size(), 6u);
  EXPECT_EQ(rotations[1].seats, (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(rotations[2].seats, (std::vector<int>{2, 0, 1}));
}

// A slice is built race by race from its positions; every race must be the
// one the schedule's nested order (matchup, track, race, rotation) puts there,
// with the seeds of that order, so slices merged equal the whole run.
TEST(Tournament, RacesBuiltByPositionFollowTheScheduleOrder) {
  TournamentConfig config;
  config.matchups = {{{"A", "B"}}, {{"A", "C"}}, {{"B", "C"}}};
  config.tracks = generateTracks(1, 3);
  config.racesPerTrack = 4;
  config.swap = true;
  config.seed = 99;
  std::vector<RaceJob> expected;
  for (std::size_t m = 0; m < 3; ++m)
    for (std::size_t t = 0; t < 3; ++t)
      for (int r = 0; r < 4; ++r)
        for (int rot = 0; rot < 2; ++rot) {
          RaceJob job;
          job.matchup = m;
          job.track = t;
          job.raceNumber = r;
          job.rotation = rot;
          job.seats = {rot, 1 - rot};
          job.seed = qutils::deriveSeed(
              qutils::deriveSeed(qutils::deriveSeed(99, m), t), static_cast<std::uint64_t>(r));
          expected.push_back(job);
        }
  ASSERT_EQ(expected.size(), scheduledRaceCount(config));
  for (std::uint64_t i = 0; i < expected.size(); ++i) {
    const RaceJob job = scheduledRace(config, i);
    const RaceJob& want = expected[i];
    EXPECT_EQ(std::tie(want.matchup, want.track, want.raceNumber, want.rotation, want.seats,
                       want.seed),
              std::tie(job.matchup, job.track, job.raceNumber, job.rotation, job.seats, job.seed))
        << "race " << i;
  }
  // Counts too large for memory are counted, not built.
  config.racesPerTrack = std::numeric_limits<int>::max();
  EXPECT_EQ(scheduledRaceCount(config), 18ull * std::numeric_limits<int>::max());
}

TEST(RaceRunner, BrainsSeeTheTurnsAsTheGameRunsThem) {
  int turns[2] = {0, 0};
  std::vector<std::unique_ptr<AbstractBrain>> list;
  list.push_back(std::make_unique<RecordingBrain>(turns[0]));
  list.push_back(std::make_unique<RecordingBrain>(turns[1]));
  RaceLimits limits;
  limits.maxTurns = 30;
  const auto outcome = playRace(sampleTrack(), false, std::move(list), limits);
  EXPECT_EQ(turns[0], 30);
  EXPECT_EQ(turns[1], 30);
  EXPECT_TRUE(outcome.capped);
  EXPECT_TRUE(outcome.draw);
}

TEST(RaceRunner, IdlePodsTimeOutToADrawInTimeAttackAndALossInARace) {
  const Track track = sampleTrack();
  const auto solo = playRace(track, true, brains<IdleBrain>(3), RaceLimits{});
  EXPECT_TRUE(solo.draw);
  EXPECT_FALSE(solo.capped);
  EXPECT_EQ(solo.winner, -1);
  // 100 s of 0.25 s turns, give or take the float sums of the timeouts.
  EXPECT_NEAR(solo.turns, 400, 2);

  const auto race = playRace(track, false, brains<IdleBrain>(2), RaceLimits{});
  EXPECT_NE(race.winner, -1);
  EXPECT_TRUE(race.byTimeout);
  EXPECT_FALSE(race.draw);
}

TEST(RaceRunner, PlannerThinkingIsReportedAndThreadedPlannersGetRealTime) {
  const Track track = sampleTrack();
  RaceLimits limits;
  limits.maxTurns = 6;
  limits.thinkMs = 15;
  limits.evalsPerTurn = 0;
  auto pair = [] {
    std::vector<std::unique_ptr<AbstractBrain>> list;
    list.push_back(std::make_unique<FakePlanner>());
    list.push_back(std::make_unique<IdleBrain>());
    return list;
  };
  auto start = std::chrono::steady_clock::now();
  const auto threaded = playRace(track, false, pair(), limits);
  // A sleep after every turn but the last.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5 * 15));
  ASSERT_EQ(threaded.planners.size(), 2u);
  EXPECT_TRUE(threaded.planners[0].planner);
  EXPECT_EQ(threaded.planners[0].turnsPlanned, 6u);
  EXPECT_EQ(threaded.planners[0].evolutionSteps, 42u);
  EXPECT_FALSE(threaded.planners[1].planner);

  // Synchronous planners and plain brains get no real time.
  limits.thinkMs = 1000;
  limits.evalsPerTurn = 3;
  start = std::chrono::steady_clock::now();
  playRace(track, false, pair(), limits);
  limits.evalsPerTurn = 0;
  playRace(track, false, brains<IdleBrain>(2), limits);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

} // namespace
} // namespace pod::arena
