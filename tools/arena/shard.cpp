#include "shard.h"

#include "badinput.h"
#include "botroster.h"
#include "league.h"
#include "speed.h"
#include "stats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>

namespace pod::arena {

namespace {

using Json = nlohmann::json;

// What every slice of one run shares, by the name a message gives it.
const std::vector<std::pair<const char*, const char*>> kSettings = {
    {"mode", "mode"},         {"seed", "seed"},
    {"racesPerTrack", "races per track"}, {"swap", "swap"},
    {"thinkEvals", "budget (--think-evals)"}, {"thinkMs", "budget (--think-ms)"},
    {"speed", "speed"},       {"tracks", "tracks"},
    {"matchups", "drivers"},  {"league", "league"},
    {"bots", "bots (--bot and its limits)"}};

Json settingValue(const Json& part, const std::string& key) {
  if (key == "tracks") {
    Json tracks = Json::array();
    for (const auto& t : part.at("tracks"))
      tracks.push_back({t.at("name"), t.at("checkpoints")});
    return tracks;
  }
  if (key == "bots") {
    // Each machine may keep its bots' logs elsewhere.
    Json bots = part.value("bots", Json());
    if (bots.is_object())
      bots.erase("logs");
    return bots;
  }
  if (key == "matchups") {
    Json drivers = Json::array();
    for (const auto& m : part.at("matchups"))
      drivers.push_back(m.at("drivers"));
    return drivers;
  }
  if (key == "league")
    return part.at("shard").at("league");
  return part.at(key);
}

bool scalar(const Json& j) { return !j.is_array() && !j.is_object(); }

nlohmann::ordered_json outcomeRecord(std::size_t position, const RaceOutcome& o) {
  auto planners = nlohmann::ordered_json::array();
  for (const auto& p : o.planners)
    planners.push_back(p.planner ? nlohmann::ordered_json{p.evolutionSteps, p.turnsPlanned}
                                 : nlohmann::ordered_json(nullptr));
  auto forfeits = nlohmann::ordered_json::array();
  for (const auto& f : o.forfeits)
    forfeits.push_back({f.turn, f.team, bots::faultName(f.fault), f.detail, f.line});
  return {{"race", position},     {"winner", o.winner}, {"byTimeout", o.byTimeout},
          {"draw", o.draw},       {"capped", o.capped}, {"turns", o.turns},
          {"fingerprint", o.fingerprint}, {"planners", planners}, {"forfeits", forfeits}};
}

// A part is untrusted: every number is checked against what the schedule it
// claims can hold before it is used as a count, an index or a size.
[[noreturn]] void refuse(const std::string& where, const std::string& what) {
  throw BadInput{where + ": " + what};
}

std::int64_t wholeNumber(const Json& j, const char* key, const std::string& where,
                         std::int64_t min, std::int64_t max) {
  const Json& v = j.at(key);
  if (!v.is_number_integer())
    refuse(where, std::string(key) + " is not a whole number");
  const bool inRange = v.is_number_unsigned()
                           ? v.get<std::uint64_t>() <= static_cast<std::uint64_t>(max) &&
                                 static_cast<std::int64_t>(v.get<std::uint64_t>()) >= min
                           : v.get<std::int64_t>() >= min && v.get<std::int64_t>() <= max;
  if (!inRange)
    refuse(where, std::string(key) + " " + v.dump() + " is out of range (" +
                      std::to_string(min) + " to " + std::to_string(max) + ")");
  return v.get<std::int64_t>();
}

int wholeInt(const Json& j, const char* key, const std::string& where, int min,
             int max = std::numeric_limits<int>::max()) {
  return static_cast<int>(wholeNumber(j, key, where, min, max));
}

std::uint64_t fullUnsigned(const Json& j, const char* key, const std::string& where) {
  const Json& v = j.at(key);
  if (v.is_number_unsigned())
    return v.get<std::uint64_t>();
  if (v.is_number_integer() && v.get<std::int64_t>() >= 0)
    return static_cast<std::uint64_t>(v.get<std::int64_t>());
  refuse(where, std::string(key) + " is not a whole number from 0 to 2^64-1");
}

const Json& arrayOf(const Json& j, const char* key, const std::string& where, std::size_t min,
                    std::size_t max) {
  const Json& v = j.at(key);
  if (!v.is_array() || v.size() < min || v.size() > max)
    refuse(where, std::string(key) + " must be a list of " + std::to_string(min) + " to " +
                      std::to_string(max) + " entries");
  return v;
}

std::string text(const Json& j, const char* key, const std::string& where,
                 std::size_t maxBytes = kMaxPartText) {
  std::string value = j.at(key).get<std::string>();
  if (value.size() > maxBytes)
    refuse(where, std::string(key) + " is longer than " + std::to_string(maxBytes) + " bytes");
  return value;
}

bots::Fault faultNamed(const std::string& name, const std::string& where) {
  for (int f = 0; f <= static_cast<int>(bots::Fault::ExtraLine); ++f)
    if (name == bots::faultName(static_cast<bots::Fault>(f)))
      return static_cast<bots::Fault>(f);
  refuse(where, "unknown forfeit reason '" + name + "'");
}

// Evolution steps and planned turns of one race; summed over a whole
// schedule they must still fit in 64 bits.
constexpr std::int64_t kMaxPlannerCount = std::int64_t{1} << 40;

RaceOutcome outcomeOf(const Json& r, const RaceJob& job, const TournamentConfig& config,
                      const std::string& where) {
  const int teams = static_cast<int>(job.seats.size());
  const int maxTurns = maxTurnsFor(config.tracks.at(job.track), config.timeAttack);
  RaceOutcome o;
  o.winner = wholeInt(r, "winner", where, -1, teams - 1);
  o.byTimeout = r.at("byTimeout").get<bool>();
  o.draw = r.at("draw").get<bool>();
  o.capped = r.at("capped").get<bool>();
  if (o.draw != (o.winner == -1) || (o.capped && !o.draw) || (o.byTimeout && o.draw))
    refuse(where, "winner, draw, capped and byTimeout contradict each other");
  o.turns = wholeInt(r, "turns", where, 0, maxTurns);
  o.fingerprint = fullUnsigned(r, "fingerprint", where);
  const Json& planners = arrayOf(r, "planners", where, job.seats.size(), job.seats.size());
  for (const auto& p : planners) {
    PlannerUse use;
    if (!p.is_null()) {
      if (!p.is_array() || p.size() != 2)
        refuse(where, "a planner's entry must be null or [steps, turns]");
      const Json counts = {{"steps", p[0]}, {"turns", p[1]}};
      use.planner = true;
      use.evolutionSteps =
          static_cast<std::uint64_t>(wholeNumber(counts, "steps", where, 0, kMaxPlannerCount));
      use.turnsPlanned =
          static_cast<std::uint64_t>(wholeNumber(counts, "turns", where, 0, kMaxPlannerCount));
    }
    o.planners.push_back(use);
  }
  const Json none = Json::array();
  const Json& forfeits = r.contains("forfeits") ? arrayOf(r, "forfeits", where, 0, teams) : none;
  for (const auto& f : forfeits) {
    if (!f.is_array() || f.size() != 5)
      refuse(where, "a forfeit must be [turn, team, reason, detail, line]");
    const Json fields = {{"turn", f[0]}, {"team", f[1]}, {"detail", f[3]}, {"line", f[4]}};
    bots::Problem p;
    p.turn = wholeInt(fields, "turn", where, 1, o.turns + 1);
    p.team = wholeInt(fields, "team", where, 0, teams - 1);
    p.fault = faultNamed(f[2].get<std::string>(), where);
    p.detail = text(fields, "detail", where);
    p.line = text(fields, "line", where);
    o.forfeits.push_back(std::move(p));
  }
  return o;
}

float coordinate(const Json& v, const std::string& where) {
  if (!v.is_number() || !std::isfinite(v.get<double>()) ||
      std::fabs(v.get<double>()) > std::numeric_limits<float>::max())
    refuse(where, "a checkpoint coordinate is not a finite number");
  return static_cast<float>(v.get<double>());
}

void configFrom(const Json& part, const std::string& name, MergedRun& run) {
  TournamentConfig& c = run.config;
  const std::string where = "'" + name + "'";
  const std::string mode = part.at("mode").get<std::string>();
  if (mode != "race" && mode != "time attack")
    refuse(where, "unknown mode '" + mode + "'");
  c.timeAttack = mode == "time attack";
  c.seed = fullUnsigned(part, "seed", where);
  c.racesPerTrack = wholeInt(part, "racesPerTrack", where, 1);
  c.swap = part.at("swap").get<bool>();
  c.limits.evalsPerTurn = wholeInt(part, "thinkEvals", where, 0);
  c.limits.thinkMs = wholeInt(part, "thinkMs", where, 0);
  const int speed = speedIndexOf(part.at("speed").get<std::string>());
  if (speed < 0)
    refuse(where, "unknown speed '" + part.at("speed").get<std::string>() + "'");
  c.limits.turnSeconds = gamespeed::kTurnSeconds[speed];
  for (const auto& t : arrayOf(part, "tracks", where, 1, kMaxTracks)) {
    Track track;
    track.name = text(t, "name", where);
    for (const auto& p : arrayOf(t, "checkpoints", where, 2, kMaxPartCheckpoints)) {
      if (!p.is_array() || p.size() != 2)
        refuse(where, "a checkpoint must be [x, y]");
      Checkpoint cp;
      cp.id = static_cast<std::uint32_t>(track.checkpoints.size());
      cp.position = {coordinate(p[0], where), coordinate(p[1], where)};
      track.checkpoints.push_back(cp);
    }
    c.tracks.push_back(std::move(track));
    run.trackSources.push_back(text(t, "source", where));
  }
  run.league = part.at("shard").at("league").get<bool>();
  const std::size_t maxSides = c.timeAttack ? 4 : 2;
  const std::size_t minSides = c.timeAttack ? 1 : 2;
  for (const auto& m :
       arrayOf(part, "matchups", where, 1, run.league ? kMaxScheduledRaces : 1)) {
    Matchup matchup;
    for (const auto& d : arrayOf(m, "drivers", where, minSides, maxSides))
      matchup.drivers.push_back(d.get<std::string>());
    c.matchups.push_back(std::move(matchup));
  }
  auto samePairings = [&] {
    const std::vector<std::string> drivers = leagueDrivers(c.matchups);
    if (c.matchups.size() != drivers.size() * (drivers.size() - 1) / 2)
      return false;
    const std::vector<Matchup> every = leagueMatchups(drivers);
    for (std::size_t i = 0; i < every.size(); ++i)
      if (every[i].drivers != c.matchups[i].drivers)
        return false;
    return true;
  };
  if (run.league && (c.timeAttack || !samePairings()))
    refuse(where, "a league's pairings must be every two of its drivers, once each");
  const Json bots = part.value("bots", Json());
  if (bots.is_object()) {
    auto roster = std::make_shared<BotRoster>();
    roster->firstMs = wholeInt(bots, "firstMs", where, 1);
    roster->turnMs = wholeInt(bots, "turnMs", where, 1);
    for (const auto& d : arrayOf(bots, "drivers", where, 0, kMaxScheduledRaces))
      roster->entries.push_back({text(d, "name", where), text(d, "command", where), {}});
    c.limits.bots = std::move(roster);
  } else if (!bots.is_null()) {
    refuse(where, "bots must be null or an object");
  }
}

} // namespace

Shard parseShard(const std::string& text) {
  const auto slash = text.find('/');
  Shard s;
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  bool ok = slash != std::string::npos;
  if (ok) {
    const auto a = std::from_chars(begin, begin + slash, s.index);
    const auto b = std::from_chars(begin + slash + 1, end, s.count);
    ok = a.ec == std::errc() && a.ptr == begin + slash && b.ec == std::errc() && b.ptr == end &&
         s.count >= 1 && s.index >= 1 && s.index <= s.count &&
         static_cast<std::uint64_t>(s.count) <= kMaxScheduledRaces;
  }
  if (!ok)
    throw BadInput{"--shard takes I/N with 1 <= I <= N <= " + std::to_string(kMaxScheduledRaces) +
                   ", such as 2/8 (got '" + text + "')"};
  return s;
}

std::vector<std::size_t> shardSlice(std::size_t scheduled, const Shard& shard) {
  std::vector<std::size_t> positions;
  for (std::size_t i = static_cast<std::size_t>(shard.index - 1); i < scheduled;
       i += static_cast<std::size_t>(shard.count))
    positions.push_back(i);
  return positions;
}

nlohmann::ordered_json partialSummary(const ReportInput& input, const Shard& shard,
                                      std::size_t scheduled,
                                      const std::vector<std::size_t>& positions,
                                      const std::vector<PlayedRace>& played) {
  nlohmann::ordered_json j = jsonReport(input);
  // A slice of many touches few tracks of each pairing: list only those.
  for (auto& pairing : j["matchups"]) {
    auto raced = nlohmann::ordered_json::array();
    for (auto& row : pairing["tracks"])
      if (row["played"].get<int>() > 0)
        raced.push_back(std::move(row));
    pairing["tracks"] = std::move(raced);
  }
  auto races = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < played.size(); ++i)
    races.push_back(outcomeRecord(positions.at(i), played[i].outcome));
  j["shard"] = {{"index", shard.index},
                {"count", shard.count},
                {"scheduled", scheduled},
                {"league", input.league}};
  j["races"] = std::move(races);
  return j;
}

nlohmann::json readPartialSummary(const std::string& text) {
  // Depth 1: the summary's own keys; depth 3: the keys of each pairing.
  const Json::parser_callback_t skipTallies = [](int depth, Json::parse_event_t event,
                                                 Json& parsed) {
    // Copying and comparing a value recurse: a deep one would overflow the stack.
    if (depth > kMaxPartDepth)
      throw BadInput{"nested deeper than " + std::to_string(kMaxPartDepth) +
                     " levels: not a partial summary"};
    if (event != Json::parse_event_t::key)
      return true;
    if (depth == 1)
      return parsed != "league";
    if (depth == 3)
      return parsed != "tracks" && parsed != "total";
    return true;
  };
  return Json::parse(text, skipTallies);
}

ReportInput MergedRun::report() const {
  ReportInput r = reportOf(config, trackSources, played, league);
  r.seconds = seconds;
  return r;
}

MergedRun mergeParts(const std::vector<std::pair<std::string, nlohmann::json>>& parts) {
  if (parts.empty())
    throw BadInput{"merge needs at least one partial summary"};
  for (const auto& [name, part] : parts)
    if (!part.is_object() || !part.contains("format") || part["format"] != "vuzuder-arena-summary" ||
        !part.contains("shard") || !part.contains("races"))
      throw BadInput{"'" + name + "' is not a partial summary (write one with --shard I/N --json FILE)"};

  MergedRun run;
  const auto& [firstName, first] = parts.front();
  std::string current = firstName; // named when a field turns out wrong
  try {
    std::vector<Json> reference;
    for (const auto& setting : kSettings)
      reference.push_back(settingValue(first, setting.first));
    for (const auto& [name, part] : parts) {
      current = name;
      for (std::size_t k = 0; k < kSettings.size(); ++k) {
        const char* label = kSettings[k].second;
        const Json& a = reference[k];
        const Json b = settingValue(part, kSettings[k].first);
        if (a == b)
          continue;
        std::string message = "'" + firstName + "' and '" + name +
                              "' were played with different " + label;
        if (scalar(a) && scalar(b))
          message += " (" + a.dump() + " and " + b.dump() + ")";
        throw BadInput{message + "; merge only slices of one run"};
      }
    }
    current = firstName;
    configFrom(first, firstName, run);

    const std::string firstWhere = "'" + firstName + "'";
    const std::uint64_t scheduled = scheduledRaceCount(run.config);
    if (scheduled > kMaxScheduledRaces)
      refuse(firstWhere, "its settings schedule " + std::to_string(scheduled) +
                             " races; a schedule holds at most " +
                             std::to_string(kMaxScheduledRaces));
    const Json& firstShard = first.at("shard");
    const auto named = static_cast<std::uint64_t>(wholeNumber(
        firstShard, "scheduled", firstWhere, 0, std::numeric_limits<std::int64_t>::max()));
    if (named != scheduled)
      refuse(firstWhere, "it names " + std::to_string(named) +
                             " scheduled races, but its settings schedule " +
                             std::to_string(scheduled));
    const int count = wholeInt(firstShard, "count", firstWhere, 1,
                               static_cast<int>(kMaxScheduledRaces));
    std::map<int, std::string> slices;
    for (const auto& [name, part] : parts) {
      current = name;
      const std::string where = "'" + name + "'";
      const Json& shard = part.at("shard");
      const int n = wholeInt(shard, "count", where, 1, static_cast<int>(kMaxScheduledRaces));
      if (n != count)
        throw BadInput{"'" + firstName + "' is a slice of " + std::to_string(count) + ", '" +
                       name + "' a slice of " + std::to_string(n)};
      const int index = wholeInt(shard, "index", where, 1, count);
      const std::string slice = std::to_string(index) + "/" + std::to_string(count);
      if (!slices.emplace(index, name).second)
        throw BadInput{"slice " + slice + " is given twice ('" + slices[index] + "' and '" +
                       name + "')"};
      // Positions index-1, index-1+count, ... below the schedule's size.
      const auto start = static_cast<std::uint64_t>(index - 1);
      const auto step = static_cast<std::uint64_t>(count);
      const std::uint64_t expected = start < scheduled ? (scheduled - start - 1) / step + 1 : 0;
      const Json& races = part.at("races");
      if (!races.is_array() || races.size() != expected)
        throw BadInput{"'" + name + "' holds " +
                       (races.is_array() ? std::to_string(races.size()) : std::string("no list")) +
                       " of the " + std::to_string(expected) + " races of slice " + slice};
      for (std::size_t i = 0; i < races.size(); ++i) {
        const std::uint64_t position = start + i * step;
        const std::string record = where + ": race record " + std::to_string(i + 1);
        if (!races[i].is_object())
          refuse(record, "not an object");
        const Json& given = races[i].at("race");
        if (!given.is_number_unsigned() || given.get<std::uint64_t>() != position)
          throw BadInput{"'" + name + "' holds race " + (given.is_number() ? given.dump() : "?") +
                         ", which is not in slice " + slice};
        RaceJob job = scheduledRace(run.config, position);
        RaceOutcome outcome = outcomeOf(races[i], job, run.config, record);
        run.played.push_back(PlayedRace{std::move(job), std::move(outcome)});
      }
      const Json& seconds = part.at("timing").at("seconds");
      if (!seconds.is_number() || !std::isfinite(seconds.get<double>()) ||
          seconds.get<double>() < 0.0)
        refuse(where, "timing.seconds is not a duration");
      run.seconds += seconds.get<double>();
    }
    std::string missing;
    int listed = 0;
    for (int i = 1; i <= count; ++i)
      if (slices.count(i) == 0 && ++listed <= 10)
        missing += (missing.empty() ? "" : ", ") + std::to_string(i);
    if (listed > 10)
      missing += " and " + std::to_string(listed - 10) + " more";
    if (listed > 0)
      throw BadInput{"missing slice" + std::string(listed == 1 ? " " : "s ") + missing + " of " +
                     std::to_string(count)};
  } catch (const Json::exception& e) {
    throw BadInput{"'" + current + "' lacks a field or has a wrong one: " + std::string(e.what())};
  }
  std::sort(run.played.begin(), run.played.end(), [&](const PlayedRace& a, const PlayedRace& b) {
    return std::tie(a.job.matchup, a.job.track, a.job.raceNumber, a.job.rotation) <
           std::tie(b.job.matchup, b.job.track, b.job.raceNumber, b.job.rotation);
  });
  return run;
}

} // namespace pod::arena
