#include "shard.h"

#include "badinput.h"
#include "botroster.h"
#include "speed.h"
#include "stats.h"

#include <algorithm>
#include <charconv>
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

bots::Fault faultNamed(const std::string& name) {
  for (int f = 0; f <= static_cast<int>(bots::Fault::ExtraLine); ++f)
    if (name == bots::faultName(static_cast<bots::Fault>(f)))
      return static_cast<bots::Fault>(f);
  throw BadInput{"unknown forfeit reason '" + name + "'"};
}

RaceOutcome outcomeOf(const Json& r) {
  RaceOutcome o;
  o.winner = r.at("winner").get<int>();
  o.byTimeout = r.at("byTimeout").get<bool>();
  o.draw = r.at("draw").get<bool>();
  o.capped = r.at("capped").get<bool>();
  o.turns = r.at("turns").get<int>();
  o.fingerprint = r.at("fingerprint").get<std::uint64_t>();
  for (const auto& p : r.at("planners")) {
    PlannerUse use;
    if (!p.is_null()) {
      use.planner = true;
      use.evolutionSteps = p.at(0).get<std::uint64_t>();
      use.turnsPlanned = p.at(1).get<std::uint64_t>();
    }
    o.planners.push_back(use);
  }
  for (const auto& f : r.value("forfeits", Json::array())) {
    bots::Problem p;
    p.turn = f.at(0).get<int>();
    p.team = f.at(1).get<int>();
    p.fault = faultNamed(f.at(2).get<std::string>());
    p.detail = f.at(3).get<std::string>();
    p.line = f.at(4).get<std::string>();
    o.forfeits.push_back(std::move(p));
  }
  return o;
}

void configFrom(const Json& part, MergedRun& run) {
  TournamentConfig& c = run.config;
  c.timeAttack = part.at("mode").get<std::string>() == "time attack";
  c.seed = part.at("seed").get<std::uint64_t>();
  c.racesPerTrack = part.at("racesPerTrack").get<int>();
  c.swap = part.at("swap").get<bool>();
  c.limits.evalsPerTurn = part.at("thinkEvals").get<int>();
  c.limits.thinkMs = part.at("thinkMs").get<int>();
  const int speed = speedIndexOf(part.at("speed").get<std::string>());
  if (speed < 0)
    throw BadInput{"unknown speed '" + part.at("speed").get<std::string>() + "'"};
  c.limits.turnSeconds = gamespeed::kTurnSeconds[speed];
  for (const auto& t : part.at("tracks")) {
    Track track;
    track.name = t.at("name").get<std::string>();
    for (const auto& p : t.at("checkpoints")) {
      Checkpoint cp;
      cp.id = static_cast<std::uint32_t>(track.checkpoints.size());
      cp.position = {static_cast<float>(p.at(0).get<double>()),
                     static_cast<float>(p.at(1).get<double>())};
      track.checkpoints.push_back(cp);
    }
    c.tracks.push_back(std::move(track));
    run.trackSources.push_back(t.at("source").get<std::string>());
  }
  for (const auto& m : part.at("matchups"))
    c.matchups.push_back(Matchup{m.at("drivers").get<std::vector<std::string>>()});
  run.league = part.at("shard").at("league").get<bool>();
  const Json bots = part.value("bots", Json());
  if (bots.is_object()) {
    auto roster = std::make_shared<BotRoster>();
    roster->firstMs = bots.at("firstMs").get<int>();
    roster->turnMs = bots.at("turnMs").get<int>();
    for (const auto& d : bots.at("drivers"))
      roster->entries.push_back(
          {d.at("name").get<std::string>(), d.at("command").get<std::string>(), {}});
    c.limits.bots = std::move(roster);
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
         s.count >= 1 && s.index >= 1 && s.index <= s.count;
  }
  if (!ok)
    throw BadInput{"--shard takes I/N with 1 <= I <= N, such as 2/8 (got '" + text + "')"};
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
    if (!part.is_object() || part.value("format", "") != "vuzuder-arena-summary" ||
        !part.contains("shard") || !part.contains("races"))
      throw BadInput{"'" + name + "' is not a partial summary (write one with --shard I/N --json FILE)"};

  MergedRun run;
  const auto& [firstName, first] = parts.front();
  try {
    std::vector<Json> reference;
    for (const auto& setting : kSettings)
      reference.push_back(settingValue(first, setting.first));
    for (const auto& [name, part] : parts) {
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
    configFrom(first, run);

    const int count = first.at("shard").at("count").get<int>();
    const auto scheduled = first.at("shard").at("scheduled").get<std::size_t>();
    const std::vector<RaceJob> jobs = scheduleRaces(run.config);
    if (scheduled != jobs.size())
      throw BadInput{"'" + firstName + "' names " + std::to_string(scheduled) +
                     " scheduled races, but its settings schedule " +
                     std::to_string(jobs.size())};
    std::map<int, std::string> slices;
    for (const auto& [name, part] : parts) {
      const int index = part.at("shard").at("index").get<int>();
      const int n = part.at("shard").at("count").get<int>();
      if (n != count)
        throw BadInput{"'" + firstName + "' is a slice of " + std::to_string(count) + ", '" +
                       name + "' a slice of " + std::to_string(n)};
      const std::string slice = std::to_string(index) + "/" + std::to_string(count);
      if (!slices.emplace(index, name).second)
        throw BadInput{"slice " + slice + " is given twice ('" + slices[index] + "' and '" +
                       name + "')"};
      const Shard shard{index, count};
      const auto expected = shardSlice(jobs.size(), shard);
      const auto& races = part.at("races");
      if (races.size() != expected.size())
        throw BadInput{"'" + name + "' holds " + std::to_string(races.size()) + " of the " +
                       std::to_string(expected.size()) + " races of slice " + slice};
      for (std::size_t i = 0; i < races.size(); ++i) {
        const auto position = races[i].at("race").get<std::size_t>();
        if (position != expected[i])
          throw BadInput{"'" + name + "' holds race " + std::to_string(position) +
                         ", which is not in slice " + slice};
        run.played.push_back(PlayedRace{jobs[position], outcomeOf(races[i])});
      }
      run.seconds += part.at("timing").at("seconds").get<double>();
    }
    std::string missing;
    for (int i = 1; i <= count; ++i)
      if (slices.count(i) == 0)
        missing += (missing.empty() ? "" : ", ") + std::to_string(i);
    if (!missing.empty())
      throw BadInput{"missing slice" + std::string(missing.find(',') == std::string::npos ? " " : "s ") +
                     missing + " of " + std::to_string(count)};
  } catch (const Json::exception& e) {
    throw BadInput{"a partial summary lacks a field or has a wrong one: " + std::string(e.what())};
  }
  std::sort(run.played.begin(), run.played.end(), [&](const PlayedRace& a, const PlayedRace& b) {
    return std::tie(a.job.matchup, a.job.track, a.job.raceNumber, a.job.rotation) <
           std::tie(b.job.matchup, b.job.track, b.job.raceNumber, b.job.rotation);
  });
  return run;
}

} // namespace pod::arena
