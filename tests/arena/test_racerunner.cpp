#include "racerunner.h"
#include "tournament.h"
#include "trackgen.h"

#include "brains/plannerstats.h"
#include "race/physics.h"
#include "race/racerules.h"
#include "race/statehash.h"

#include <gtest/gtest.h>

#include <chrono>

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
  void think(const Race& race, std::vector<Influence>& influences) override {
    EXPECT_EQ(stateHash(race), lastSeen_);
    EXPECT_EQ(race.winner, -1);
    ++thinks;
    IdleBrain::think(race, influences);
  }
  void turnDone(const Race& race, float turnTime) override {
    EXPECT_EQ(turnTime, kTurnTime);
    EXPECT_EQ(stateHash(race), stateHash(physics_->getCurrentState()));
    lastSeen_ = stateHash(race);
    ++turnsDone;
  }
  void setPhysics(const Physics& physics) override {
    AbstractBrain::setPhysics(physics);
    lastSeen_ = stateHash(physics.getCurrentState());
  }
  int thinks = 0;
  int turnsDone = 0;

private:
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

private:
  std::uint64_t steps_ = 0;
  std::uint64_t turns_ = 0;
};

struct TurnLog : RaceObserver {
  void raceStarted(const Race& start) override { starts.push_back(stateHash(start)); }
  void turnPlayed(int turn, const std::vector<Influence>& influences,
                  const std::vector<PhysicsEvent>&, const Race& state) override {
    EXPECT_EQ(turn, static_cast<int>(hashes.size()) + 1);
    EXPECT_EQ(influences.size(), state.pods.size());
    hashes.push_back(stateHash(state));
  }
  std::vector<std::uint64_t> starts;
  std::vector<std::uint64_t> hashes;
};

template <typename Brain>
std::vector<std::unique_ptr<AbstractBrain>> brains(int count) {
  std::vector<std::unique_ptr<AbstractBrain>> list;
  for (int i = 0; i < count; ++i)
    list.push_back(std::make_unique<Brain>());
  return list;
}

TEST(RaceRunner, SameSeededRaceTwiceGivesTheSameStateEveryTurn) {
  const Track track = sampleTrack();
  RaceLimits limits;
  limits.keepTurnHashes = true;
  TurnLog firstLog, secondLog;
  const auto first = playRace(track, false, {kSteering, kSteering}, {11, 12}, limits, &firstLog);
  const auto second = playRace(track, false, {kSteering, kSteering}, {11, 12}, limits, &secondLog);
  ASSERT_NE(first.winner, -1);
  EXPECT_FALSE(first.capped);
  EXPECT_EQ(first.turns, static_cast<int>(first.turnHashes.size()));
  EXPECT_EQ(first.turnHashes, second.turnHashes);
  EXPECT_EQ(first.turnHashes, firstLog.hashes);
  EXPECT_EQ(firstLog.starts, secondLog.starts);
  EXPECT_EQ(first.fingerprint, second.fingerprint);
  EXPECT_EQ(first.winner, second.winner);
}

TEST(RaceRunner, FingerprintTellsDifferentRacesApart) {
  const auto tracks = generateTracks(21, 2);
  RaceLimits limits;
  const auto a = playRace(tracks[0], false, {kSteering, kSteering}, {1, 2}, limits);
  const auto b = playRace(tracks[1], false, {kSteering, kSteering}, {1, 2}, limits);
  EXPECT_NE(a.fingerprint, b.fingerprint);
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
  std::size_t lastDone = 0;
  const auto parallel = playTournament(config, jobs, [&](std::size_t done, std::size_t total) {
    EXPECT_GE(done, lastDone);
    EXPECT_EQ(total, jobs.size());
    lastDone = done;
  });
  ASSERT_EQ(serial.size(), parallel.size());
  for (std::size_t i = 0; i < serial.size(); ++i) {
    EXPECT_FALSE(serial[i].outcome.turnHashes.empty());
    EXPECT_EQ(serial[i].outcome.turnHashes, parallel[i].outcome.turnHashes) << "race " << i;
    EXPECT_EQ(serial[i].job.seed, parallel[i].job.seed);
    EXPECT_EQ(serial[i].winnerSide(), parallel[i].winnerSide());
  }
}

TEST(Tournament, ScheduleSeedsAndSeats) {
  TournamentConfig config;
  config.matchups = {{{"A", "B"}}};
  config.tracks = generateTracks(1, 2);
  config.racesPerTrack = 3;
  config.swap = true;
  const auto jobs = scheduleRaces(config);
  ASSERT_EQ(jobs.size(), 12u);
  for (std::size_t i = 0; i < jobs.size(); i += 2) {
    // A race and its swap share the seed; the seats are exchanged.
    EXPECT_EQ(jobs[i].seed, jobs[i + 1].seed);
    EXPECT_EQ(jobs[i].seats, (std::vector<int>{0, 1}));
    EXPECT_EQ(jobs[i + 1].seats, (std::vector<int>{1, 0}));
    if (i + 2 < jobs.size()) {
      EXPECT_NE(jobs[i].seed, jobs[i + 2].seed);
    }
  }
  // A driver's stream follows its side, whatever team it drives.
  EXPECT_NE(driverSeed(jobs[0].seed, 0), driverSeed(jobs[0].seed, 1));

  TournamentConfig solo;
  solo.timeAttack = true;
  solo.matchups = {{{"A", "B", "C"}}};
  solo.tracks = config.tracks;
  solo.swap = true;
  const auto rotations = scheduleRaces(solo);
  ASSERT_EQ(rotations.size(), 6u);
  EXPECT_EQ(rotations[1].seats, (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(rotations[2].seats, (std::vector<int>{2, 0, 1}));
}

TEST(RaceRunner, BrainsSeeTheTurnsAsTheGameRunsThem) {
  const Track track = sampleTrack();
  auto list = brains<RecordingBrain>(2);
  auto* first = static_cast<RecordingBrain*>(list[0].get());
  auto* second = static_cast<RecordingBrain*>(list[1].get());
  RaceLimits limits;
  limits.maxTurns = 30;
  // The brains are owned by the race; read their counts through an observer.
  struct Counts : RaceObserver {
    RecordingBrain* a;
    RecordingBrain* b;
    int turns = 0;
    void turnPlayed(int turn, const std::vector<Influence>&, const std::vector<PhysicsEvent>&,
                    const Race&) override {
      EXPECT_EQ(a->thinks, turn);
      EXPECT_EQ(b->turnsDone, turn);
      EXPECT_EQ(a->team(), 0);
      EXPECT_EQ(b->team(), 1);
      turns = turn;
    }
  } counts;
  counts.a = first;
  counts.b = second;
  const auto outcome = playRace(track, false, std::move(list), limits, &counts);
  EXPECT_EQ(counts.turns, 30);
  EXPECT_TRUE(outcome.capped);
  EXPECT_TRUE(outcome.draw);
  EXPECT_EQ(outcome.winner, -1);
}

TEST(RaceRunner, TimeAttackEndsInADrawWhenEveryPodTimesOut) {
  const Track track = sampleTrack();
  TurnLog log;
  const auto outcome = playRace(track, true, brains<IdleBrain>(3), RaceLimits{}, &log);
  EXPECT_TRUE(outcome.draw);
  EXPECT_FALSE(outcome.capped);
  EXPECT_EQ(outcome.winner, -1);
  // 100 s of 0.25 s turns, give or take the float sums of the timeouts.
  EXPECT_NEAR(outcome.turns, 400, 2);
  EXPECT_LT(outcome.turns, maxTurnsFor(track, true));
}

TEST(RaceRunner, IdleTeamsLoseByTimeout) {
  const Track track = sampleTrack();
  const auto outcome = playRace(track, false, brains<IdleBrain>(2), RaceLimits{});
  EXPECT_NE(outcome.winner, -1);
  EXPECT_TRUE(outcome.byTimeout);
  EXPECT_FALSE(outcome.draw);
  EXPECT_NEAR(outcome.turns, 400, 2);
}

TEST(RaceRunner, PlannerThinkingIsReportedAndThreadedPlannersGetRealTime) {
  const Track track = sampleTrack();
  RaceLimits limits;
  limits.maxTurns = 6;
  limits.thinkMs = 15;
  limits.evalsPerTurn = 0;
  std::vector<std::unique_ptr<AbstractBrain>> list;
  list.push_back(std::make_unique<FakePlanner>());
  list.push_back(std::make_unique<IdleBrain>());
  auto start = std::chrono::steady_clock::now();
  const auto threaded = playRace(track, false, std::move(list), limits);
  const auto slept = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(threaded.planners.size(), 2u);
  EXPECT_TRUE(threaded.planners[0].planner);
  EXPECT_EQ(threaded.planners[0].turnsPlanned, 6u);
  EXPECT_EQ(threaded.planners[0].evolutionSteps, 42u);
  EXPECT_FALSE(threaded.planners[1].planner);
  // A sleep after every turn but the last.
  EXPECT_GE(slept, std::chrono::milliseconds(5 * 15));

  // Synchronous planners and plain brains get no real time.
  limits.thinkMs = 1000;
  limits.evalsPerTurn = 3;
  start = std::chrono::steady_clock::now();
  std::vector<std::unique_ptr<AbstractBrain>> sync;
  sync.push_back(std::make_unique<FakePlanner>());
  sync.push_back(std::make_unique<IdleBrain>());
  playRace(track, false, std::move(sync), limits);
  limits.evalsPerTurn = 0;
  playRace(track, false, brains<IdleBrain>(2), limits);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

TEST(RaceRunner, TheTurnCapCoversTheLongestLegalRace) {
  Track track = sampleTrack();
  const int n = static_cast<int>(track.checkpoints.size());
  // A team must pass a checkpoint every 400 turns, and no team passes more
  // than 6n times before one of its pods finishes.
  EXPECT_GE(maxTurnsFor(track, false), 400 * 6 * n);
  EXPECT_GE(maxTurnsFor(track, true), 400 * 3 * n);
}

} // namespace
} // namespace pod::arena
