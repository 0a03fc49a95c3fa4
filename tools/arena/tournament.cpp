#include "tournament.h"

#include "badinput.h"
#include "botroster.h"

#include <qutils/assert.h>
#include <qutils/random.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>

namespace pod::arena {

namespace {

// The first race can be both traced alone and traced to its own file.
class RaceObserverPair final : public RaceObserver {
public:
  RaceObserverPair(RaceObserver& first, std::unique_ptr<RaceObserver> second)
      : first_(first), second_(std::move(second)) {}
  void raceStarted(const Race& start) override {
    first_.raceStarted(start);
    second_->raceStarted(start);
  }
  void turnPlayed(int turn, const std::vector<Influence>& influences,
                  const std::vector<PhysicsEvent>& events, const Race& state) override {
    first_.turnPlayed(turn, influences, events, state);
    second_->turnPlayed(turn, influences, events, state);
  }
  void forfeited(const Forfeit& forfeit, int winner) override {
    first_.forfeited(forfeit, winner);
    second_->forfeited(forfeit, winner);
  }

private:
  RaceObserver& first_;
  std::unique_ptr<RaceObserver> second_;
};

} // namespace

bool Matchup::mirror() const {
  return !drivers.empty() &&
         std::all_of(drivers.begin(), drivers.end(),
                     [&](const std::string& d) { return d == drivers.front(); });
}

int PlayedRace::winnerSide() const {
  if (outcome.winner < 0)
    return -1;
  return job.seats.at(static_cast<std::size_t>(outcome.winner));
}

std::uint64_t driverSeed(std::uint64_t raceSeed, int side) {
  return qutils::deriveSeed(raceSeed, static_cast<std::uint64_t>(side));
}

namespace {

std::uint64_t saturatingProduct(std::uint64_t a, std::uint64_t b) {
  if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a)
    return std::numeric_limits<std::uint64_t>::max();
  return a * b;
}

int rotationsOf(const TournamentConfig& config, std::size_t matchup) {
  return config.swap ? static_cast<int>(config.matchups[matchup].drivers.size()) : 1;
}

// Races of one matchup: every track, race number and rotation.
std::uint64_t matchupRaceCount(const TournamentConfig& config, std::size_t matchup) {
  const auto races = static_cast<std::uint64_t>(std::max(0, config.racesPerTrack));
  return saturatingProduct(
      saturatingProduct(config.tracks.size(), races),
      static_cast<std::uint64_t>(rotationsOf(config, matchup)));
}

} // namespace

std::uint64_t scheduledRaceCount(const TournamentConfig& config) {
  std::uint64_t total = 0;
  for (std::size_t m = 0; m < config.matchups.size(); ++m) {
    const std::uint64_t n = matchupRaceCount(config, m);
    if (n > std::numeric_limits<std::uint64_t>::max() - total)
      return std::numeric_limits<std::uint64_t>::max();
    total += n;
  }
  return total;
}

RaceJob scheduledRace(const TournamentConfig& config, std::uint64_t position) {
  std::size_t m = 0;
  for (; m < config.matchups.size(); ++m) {
    const std::uint64_t n = matchupRaceCount(config, m);
    if (position < n)
      break;
    position -= n;
  }
  Q_ASSERT(m < config.matchups.size());
  const int sides = static_cast<int>(config.matchups[m].drivers.size());
  const auto rotations = static_cast<std::uint64_t>(rotationsOf(config, m));
  const auto races = static_cast<std::uint64_t>(config.racesPerTrack);
  RaceJob job;
  job.matchup = m;
  job.rotation = static_cast<int>(position % rotations);
  job.raceNumber = static_cast<int>(position / rotations % races);
  job.track = static_cast<std::size_t>(position / rotations / races);
  const std::uint64_t matchupSeed = qutils::deriveSeed(config.seed, m);
  const std::uint64_t trackSeed = qutils::deriveSeed(matchupSeed, job.track);
  job.seed = qutils::deriveSeed(trackSeed, static_cast<std::uint64_t>(job.raceNumber));
  for (int team = 0; team < sides; ++team)
    job.seats.push_back((team + job.rotation) % sides);
  return job;
}

std::vector<RaceJob> scheduleRaces(const TournamentConfig& config) {
  const std::uint64_t n = scheduledRaceCount(config);
  Q_ASSERT(n <= kMaxScheduledRaces);
  std::vector<RaceJob> jobs;
  jobs.reserve(static_cast<std::size_t>(n));
  for (std::uint64_t i = 0; i < n; ++i)
    jobs.push_back(scheduledRace(config, i));
  return jobs;
}

std::vector<PlayedRace> playTournament(const TournamentConfig& config,
                                       const std::vector<RaceJob>& jobs,
                                       const ProgressFn& progress,
                                       RaceObserver* firstRaceObserver,
                                       const ObserverFactory& observerFor) {
  Q_ASSERT(config.jobs >= 1);
  std::vector<PlayedRace> results(jobs.size());
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> done{0};
  std::atomic<bool> failed{false};
  std::mutex mutex;
  std::condition_variable finished;

  // Each worker takes whole races; a race's brains, physics and track copy
  // live on the worker's stack only.
  auto worker = [&] {
    for (;;) {
      const std::size_t i = next.fetch_add(1);
      if (i >= jobs.size())
        break;
      const RaceJob& job = jobs[i];
      if (failed.load()) {
        // The arena itself failed: what is left is not played.
        results[i].job = job;
        results[i].outcome.arenaError = "not played";
        if (done.fetch_add(1) + 1 == jobs.size()) {
          std::lock_guard<std::mutex> lock(mutex);
          finished.notify_all();
        }
        continue;
      }
      const Matchup& matchup = config.matchups.at(job.matchup);
      std::vector<std::string> names;
      std::vector<std::uint64_t> seeds;
      for (int side : job.seats) {
        names.push_back(matchup.drivers.at(static_cast<std::size_t>(side)));
        seeds.push_back(driverSeed(job.seed, side));
      }
      results[i].job = job;
      std::unique_ptr<RaceObserver> own = observerFor ? observerFor(job) : nullptr;
      RaceObserver* observer = i == 0 ? firstRaceObserver : nullptr;
      if (own && observer)
        own = std::make_unique<RaceObserverPair>(*observer, std::move(own));
      if (own)
        observer = own.get();
      results[i].outcome = playRace(config.tracks.at(job.track), config.timeAttack, names,
                                    seeds, config.limits, observer);
      RaceOutcome& outcome = results[i].outcome;
      if (!outcome.arenaError.empty())
        failed = true;
      for (std::size_t team = 0; team < outcome.bots.size(); ++team)
        if (!config.botLogDir.empty() && outcome.bots[team].bot)
          writeBotLog(config.botLogDir, i, config.tracks.at(job.track).name,
                      static_cast<int>(team), names[team], outcome.bots[team].errors,
                      outcome.bots[team].errorsDropped);
      outcome.bots.clear();
      if (done.fetch_add(1) + 1 == jobs.size()) {
        std::lock_guard<std::mutex> lock(mutex);
        finished.notify_all();
      }
    }
  };

  const std::size_t threads =
      std::max<std::size_t>(1, std::min<std::size_t>(config.jobs, jobs.size()));
  std::vector<std::thread> pool;
  for (std::size_t t = 0; t < threads; ++t) {
    try {
      pool.emplace_back(worker);
    } catch (const std::system_error&) {
      // Out of threads: the workers already started play every race.
      if (pool.empty())
        throw BadInput{"cannot start a thread to play the races"};
      break;
    }
  }
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (done.load() < jobs.size()) {
      finished.wait_for(lock, std::chrono::milliseconds(100));
      if (progress) {
        lock.unlock();
        progress(done.load(), jobs.size());
        lock.lock();
      }
    }
  }
  for (auto& t : pool)
    t.join();
  return results;
}

} // namespace pod::arena
