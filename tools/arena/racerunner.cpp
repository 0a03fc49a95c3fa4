#include "racerunner.h"

#include "botroster.h"

#include "brains/plannerstats.h"
#include "race/physics.h"
#include "race/racerules.h"
#include "race/statehash.h"

#include <qutils/assert.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace pod::arena {

namespace {

std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
  h ^= v;
  h *= 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 29);
}

std::uint64_t floatBits(float f) {
  std::uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

// The physics is deterministic, so the commands of every turn decide the
// whole race: hashing them is enough, and far cheaper than hashing states.
std::uint64_t chainInfluences(std::uint64_t h, const std::vector<Influence>& influences) {
  for (const auto& inf : influences)
    h = mix(h, (floatBits(inf.rotation) << 32 | floatBits(inf.thrust)) ^
                   (inf.shield ? 0x8000000000000001ull : 0ull));
  return mix(h, influences.size());
}

bool everyPodTimedOut(const Race& race) {
  for (const auto& pod : race.pods)
    if (!isTimedOut(pod))
      return false;
  return true;
}

// A team race ends at the first forfeit: the other team wins, or nobody
// when both failed on the same turn.
bool endByForfeit(const std::vector<bots::BotBrain*>& botBrains, RaceOutcome& outcome,
                  RaceObserver* observer) {
  int forfeiting = -1;
  for (std::size_t team = 0; team < botBrains.size(); ++team)
    if (botBrains[team] && botBrains[team]->forfeit()) {
      outcome.forfeits.push_back(*botBrains[team]->forfeit());
      forfeiting = forfeiting == -1 ? static_cast<int>(team) : -2;
    }
  if (forfeiting == -1)
    return false;
  outcome.winner = forfeiting >= 0 ? 1 - forfeiting : -1;
  outcome.draw = forfeiting < 0;
  for (const auto& f : outcome.forfeits) {
    outcome.fingerprint = mix(outcome.fingerprint, static_cast<std::uint64_t>(f.fault) << 32 |
                                                       static_cast<std::uint32_t>(f.turn));
    if (observer)
      observer->forfeited({f.turn, f.team, bots::faultName(f.fault), f.detail, f.line},
                          outcome.winner);
  }
  return true;
}

void finishBots(const std::vector<bots::BotBrain*>& botBrains, RaceOutcome& outcome,
                bool timeAttack, RaceObserver* observer) {
  const bool forfeited = !outcome.forfeits.empty();
  for (bots::BotBrain* bot : botBrains)
    if (bot)
      bot->finish(outcome.winner);
  // An extra line may only show once the bot's output has been read to its
  // end: the race is then forfeited after its last turn.
  if (!timeAttack && !forfeited && outcome.arenaError.empty() &&
      endByForfeit(botBrains, outcome, observer)) {
    outcome.byTimeout = false;
    outcome.capped = false;
  }
  outcome.bots.resize(botBrains.size());
  for (std::size_t team = 0; team < botBrains.size(); ++team) {
    bots::BotBrain* bot = botBrains[team];
    if (!bot)
      continue;
    // In time attack a forfeited pod only coasted; the race went on.
    if (timeAttack && bot->forfeit())
      outcome.forfeits.push_back(*bot->forfeit());
    RaceOutcome::BotRun& run = outcome.bots[team];
    run.bot = true;
    run.problems = bot->problems();
    run.errors = bot->takeErrorOutput();
    run.errorsDropped = bot->droppedErrorBytes();
    run.meanAnswerMs = bot->meanAnswerMs();
    run.slowestAnswerMs = bot->slowestAnswerMs();
    run.slowestAnswerTurn = bot->slowestAnswerTurn();
  }
}

std::string arenaErrorOf(const std::vector<bots::BotBrain*>& botBrains) {
  for (const bots::BotBrain* bot : botBrains)
    if (bot && !bot->hostError().empty())
      return "cannot start a bot: " + bot->hostError();
  return {};
}

} // namespace

int maxTurnsFor(const Track& track, bool timeAttack) {
  const int podsPerTeam = timeAttack ? 1 : 2;
  const int passesToFinish =
      constants::kLaps * static_cast<int>(track.checkpoints.size()) * podsPerTeam;
  const int turnsPerTimeout =
      static_cast<int>(std::ceil(constants::kTimeoutLimit / kTurnTime)) + 4;
  return (passesToFinish + 1) * turnsPerTimeout;
}

RaceOutcome playRace(const Track& track, bool timeAttack,
                     std::vector<std::unique_ptr<AbstractBrain>> brains,
                     const RaceLimits& limits, RaceObserver* observer) {
  Q_ASSERT(!brains.empty());
  Q_ASSERT(track.checkpoints.size() >= 2);
  Q_ASSERT(timeAttack || brains.size() == 2);

  // The race owns its track: nothing a brain reads is shared with another race.
  const Track ownTrack = track;
  const int nbTeams = static_cast<int>(brains.size());
  const int podsPerTeam = timeAttack ? 1 : 2;

  Physics physics;
  physics.init(timeAttack, podsPerTeam, nbTeams, &ownTrack);
  // Declared after the physics and the track, so brains (and any worker
  // threads they own) are gone before what they read.
  std::vector<std::unique_ptr<AbstractBrain>> racers = std::move(brains);

  bool anyPlanner = false;
  for (int i = 0; i < nbTeams; ++i) {
    racers[i]->setTeam(i);
    racers[i]->setPhysics(physics);
    racers[i]->setTrack(ownTrack);
    anyPlanner = anyPlanner || dynamic_cast<const PlannerStats*>(racers[i].get()) != nullptr;
  }
  const bool sleepBetweenTurns = anyPlanner && limits.evalsPerTurn == 0 && limits.thinkMs > 0;
  const int maxTurns = limits.maxTurns > 0 ? limits.maxTurns : maxTurnsFor(ownTrack, timeAttack);

  RaceOutcome outcome;
  if (observer)
    observer->raceStarted(physics.getCurrentState());

  std::vector<Influence> influences;
  std::vector<PhysicsEvent> events;
  influences.reserve(physics.getCurrentState().pods.size());
  events.reserve(16);

  std::vector<bots::BotBrain*> botBrains(racers.size(), nullptr);
  for (int i = 0; i < nbTeams; ++i)
    botBrains[i] = dynamic_cast<bots::BotBrain*>(racers[i].get());
  const bool anyBot = std::any_of(botBrains.begin(), botBrains.end(),
                                  [](const bots::BotBrain* b) { return b != nullptr; });

  for (int turn = 1;; ++turn) {
    influences.clear();
    for (auto& brain : racers)
      brain->think(physics.getCurrentState(), influences);
    Q_ASSERT(influences.size() == physics.getCurrentState().pods.size());

    if (anyBot) {
      outcome.arenaError = arenaErrorOf(botBrains);
      if (!outcome.arenaError.empty())
        break;
    }
    if (anyBot && !timeAttack && endByForfeit(botBrains, outcome, observer))
      break;

    events.clear();
    physics.step(influences, kTurnTime, events);
    const Race& state = physics.getCurrentState();
    for (auto& brain : racers)
      brain->turnDone(state, kTurnTime);

    outcome.fingerprint = chainInfluences(outcome.fingerprint, influences);
    if (limits.keepTurnHashes)
      outcome.turnHashes.push_back(stateHash(state));
    outcome.turns = turn;
    if (observer)
      observer->turnPlayed(turn, influences, events, state);

    if (state.winner != -1) {
      outcome.winner = state.winner;
      outcome.byTimeout = state.byTimeout;
      break;
    }
    if (timeAttack && everyPodTimedOut(state)) {
      outcome.draw = true;
      break;
    }
    if (turn >= maxTurns) {
      outcome.draw = true;
      outcome.capped = true;
      break;
    }
    if (sleepBetweenTurns)
      std::this_thread::sleep_for(std::chrono::milliseconds(limits.thinkMs));
  }

  outcome.fingerprint = mix(outcome.fingerprint, stateHash(physics.getCurrentState()));
  if (anyBot)
    finishBots(botBrains, outcome, timeAttack, observer);
  outcome.planners.resize(racers.size());
  for (std::size_t i = 0; i < racers.size(); ++i) {
    if (const auto* stats = dynamic_cast<const PlannerStats*>(racers[i].get())) {
      outcome.planners[i].planner = true;
      outcome.planners[i].evolutionSteps = stats->totalEvolutionSteps();
      outcome.planners[i].turnsPlanned = stats->turnsPlanned();
    }
  }
  return outcome;
}

RaceOutcome playRace(const Track& track, bool timeAttack,
                     const std::vector<std::string>& driverNames,
                     const std::vector<std::uint64_t>& seeds, const RaceLimits& limits,
                     RaceObserver* observer) {
  Q_ASSERT(driverNames.size() == seeds.size());
  std::vector<std::unique_ptr<AbstractBrain>> racers;
  for (std::size_t i = 0; i < driverNames.size(); ++i) {
    DriverOptions options;
    options.seed = seeds[i];
    options.evalsPerTurn = limits.evalsPerTurn;
    options.turnSeconds = limits.turnSeconds;
    if (limits.bots) {
      if (const BotRoster::Entry* entry = limits.bots->find(driverNames[i])) {
        racers.push_back(limits.bots->createBrain(*entry));
        continue;
      }
    }
    auto brain = createDriver(driverNames[i], timeAttack, options);
    Q_ASSERT_MSG(brain != nullptr, "unknown driver %s", driverNames[i].c_str());
    racers.push_back(std::move(brain));
  }
  return playRace(track, timeAttack, std::move(racers), limits, observer);
}

} // namespace pod::arena
