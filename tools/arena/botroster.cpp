#include "botroster.h"

#include "tournament.h"

#include "bots/commandwords.h"

#include <qutils/text.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace pod::arena {

const BotRoster::Entry* BotRoster::find(const std::string& name) const {
  for (const auto& e : entries)
    if (e.name == name)
      return &e;
  return nullptr;
}

std::unique_ptr<bots::BotBrain> BotRoster::createBrain(const Entry& entry) const {
  bots::BotSettings settings;
  settings.words = entry.words;
  settings.firstMs = firstMs;
  settings.turnMs = turnMs;
  settings.graceMs = graceMs;
  return std::make_unique<bots::BotBrain>(std::move(settings));
}

BotRoster::Entry parseBotArgument(const std::string& argument) {
  const std::size_t eq = argument.find('=');
  if (eq == std::string::npos || eq == 0)
    throw std::invalid_argument("--bot takes NAME=COMMAND (got '" + argument + "')");
  BotRoster::Entry entry;
  entry.name = argument.substr(0, eq);
  entry.command = argument.substr(eq + 1);
  // Names and commands go into the summary and the traces, which hold UTF-8.
  const std::string problem = qutils::nameProblem(entry.name, qutils::cMaxNameBytes);
  if (!problem.empty())
    throw std::invalid_argument("the bot name '" + entry.name + "' " + problem);
  if (!qutils::isUtf8(entry.command))
    throw std::invalid_argument("the command of bot '" + entry.name + "' is not UTF-8 text");
  std::string error;
  entry.words = bots::splitCommandWords(entry.command, &error);
  if (entry.words.empty())
    throw std::invalid_argument("bad command for bot '" + entry.name + "': " + error);
  return entry;
}

namespace {

std::string fileNamePart(const std::string& text) {
  std::string part;
  for (unsigned char c : text)
    part += std::isalnum(c) ? static_cast<char>(std::tolower(c)) : '_';
  return part.empty() ? "_" : part;
}

} // namespace

void writeBotLog(const std::string& dir, std::size_t raceIndex, const std::string& track, int team,
                 const std::string& driver, const std::string& text, std::size_t dropped) {
  char number[32];
  std::snprintf(number, sizeof number, "race%05zu-", raceIndex + 1);
  const std::string path = dir + "/" + number + fileNamePart(track) + "-team" +
                           std::to_string(team + 1) + "-" + fileNamePart(driver) + ".log";
  std::ofstream file(path, std::ios::trunc | std::ios::binary);
  file << text;
  if (dropped > 0)
    file << "\n[" << dropped << " more bytes dropped: only the first 64 KiB are kept]\n";
}

std::vector<ForfeitRecord> collectForfeits(const TournamentConfig& config,
                                           const std::vector<PlayedRace>& played) {
  std::vector<ForfeitRecord> records;
  for (const auto& race : played)
    for (const auto& problem : race.outcome.forfeits) {
      ForfeitRecord r;
      r.matchup = race.job.matchup;
      r.track = config.tracks.at(race.job.track).name;
      r.raceNumber = race.job.raceNumber;
      r.rotation = race.job.rotation;
      r.side = race.job.seats.at(static_cast<std::size_t>(problem.team));
      r.driver = config.matchups.at(race.job.matchup).drivers.at(static_cast<std::size_t>(r.side));
      r.problem = problem;
      records.push_back(std::move(r));
    }
  return records;
}

} // namespace pod::arena
