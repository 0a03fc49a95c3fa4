#include "stats.h"

#include <qutils/assert.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace pod::arena {

Interval wilsonInterval(std::uint64_t successes, std::uint64_t trials, double z) {
  if (trials == 0)
    return {};
  Q_ASSERT(successes <= trials);
  const double n = static_cast<double>(trials);
  const double p = static_cast<double>(successes) / n;
  const double z2 = z * z;
  const double denominator = 1.0 + z2 / n;
  const double centre = (p + z2 / (2.0 * n)) / denominator;
  const double half = z / denominator * std::sqrt(p * (1.0 - p) / n + z2 / (4.0 * n * n));
  // The bounds reach 0 and 1 exactly at the extremes; rounding must not hide it.
  const double low = successes == 0 ? 0.0 : std::max(0.0, centre - half);
  const double high = successes == trials ? 1.0 : std::min(1.0, centre + half);
  return {low, high};
}

Tally::Tally(std::size_t sides)
    : wins(sides, 0), planner(sides, false), evolutionSteps(sides, 0), turnsPlanned(sides, 0) {}

double Tally::meanTurns() const {
  return races > 0 ? static_cast<double>(turnSum) / races : 0.0;
}

double Tally::winRate(std::size_t side) const {
  return races > 0 ? static_cast<double>(wins.at(side)) / races : 0.0;
}

Interval Tally::winInterval(std::size_t side) const {
  return wilsonInterval(static_cast<std::uint64_t>(wins.at(side)),
                        static_cast<std::uint64_t>(races));
}

std::optional<double> Tally::stepsPerTurn(std::size_t side) const {
  if (!planner.at(side))
    return std::nullopt;
  if (turnsPlanned[side] == 0)
    return 0.0;
  return static_cast<double>(evolutionSteps[side]) / static_cast<double>(turnsPlanned[side]);
}

void Tally::add(const Tally& other) {
  Q_ASSERT(wins.size() == other.wins.size());
  played += other.played;
  races += other.races;
  for (std::size_t s = 0; s < wins.size(); ++s) {
    wins[s] += other.wins[s];
    planner[s] = planner[s] || other.planner[s];
    evolutionSteps[s] += other.evolutionSteps[s];
    turnsPlanned[s] += other.turnsPlanned[s];
  }
  draws += other.draws;
  byTimeout += other.byTimeout;
  capped += other.capped;
  rotated += other.rotated;
  forfeits += other.forfeits;
  turnSum += other.turnSum;
  maxTurns = std::max(maxTurns, other.maxTurns);
}

std::vector<MatchupSummary> summarise(const std::vector<Matchup>& matchups,
                                      std::size_t nbTracks,
                                      const std::vector<PlayedRace>& played) {
  std::vector<MatchupSummary> summaries;
  for (const auto& m : matchups) {
    MatchupSummary s;
    s.matchup = m;
    s.perTrack.assign(nbTracks, Tally(m.drivers.size()));
    s.total = Tally(m.drivers.size());
    summaries.push_back(std::move(s));
  }

  // Per matchup and track: the line-ups (driver by team) and fingerprints seen.
  using Key = std::pair<std::vector<std::string>, std::uint64_t>;
  std::vector<std::vector<std::set<Key>>> seen(
      matchups.size(), std::vector<std::set<Key>>(nbTracks));

  for (const auto& race : played) {
    const RaceJob& job = race.job;
    Q_ASSERT(job.matchup < summaries.size() && job.track < nbTracks);
    const Matchup& matchup = summaries[job.matchup].matchup;
    Tally& tally = summaries[job.matchup].perTrack[job.track];
    const RaceOutcome& outcome = race.outcome;

    ++tally.played;
    for (std::size_t team = 0; team < job.seats.size() && team < outcome.planners.size();
         ++team) {
      const auto side = static_cast<std::size_t>(job.seats[team]);
      const PlannerUse& use = outcome.planners[team];
      if (use.planner) {
        tally.planner[side] = true;
        tally.evolutionSteps[side] += use.evolutionSteps;
        tally.turnsPlanned[side] += use.turnsPlanned;
      }
    }

    Key key;
    for (int side : job.seats)
      key.first.push_back(matchup.drivers.at(static_cast<std::size_t>(side)));
    key.second = outcome.fingerprint;
    if (!seen[job.matchup][job.track].insert(std::move(key)).second)
      continue;

    ++tally.races;
    const int winner = race.winnerSide();
    if (winner >= 0)
      ++tally.wins.at(static_cast<std::size_t>(winner));
    else
      ++tally.draws;
    if (outcome.byTimeout)
      ++tally.byTimeout;
    if (outcome.capped)
      ++tally.capped;
    if (job.rotation != 0)
      ++tally.rotated;
    if (!outcome.forfeits.empty())
      ++tally.forfeits;
    tally.turnSum += outcome.turns;
    tally.maxTurns = std::max(tally.maxTurns, outcome.turns);
  }

  for (auto& s : summaries)
    for (const auto& t : s.perTrack)
      s.total.add(t);
  return summaries;
}

} // namespace pod::arena
