#pragma once

#include "bots/botbrain.h"
#include "bots/botfault.h"

#include <memory>
#include <string>
#include <vector>

namespace pod::arena {

// The external bots registered with --bot NAME=COMMAND, and their limits.
struct BotRoster {
  struct Entry {
    std::string name;
    std::string command;
    std::vector<std::string> words;
  };
  std::vector<Entry> entries;
  int firstMs = 1000;
  int turnMs = 50;
  int graceMs = 200;

  const Entry* find(const std::string& name) const;
  // A brain for one race: it starts its own process.
  std::unique_ptr<bots::BotBrain> createBrain(const Entry& entry) const;
};

// Parses one --bot argument "NAME=COMMAND"; throws std::invalid_argument
// with a one-line reason.
BotRoster::Entry parseBotArgument(const std::string& argument);

// Keeps one bot's standard error of one race in DIR, as
// "race00012-<track>-team2-<driver>.log".
void writeBotLog(const std::string& dir, std::size_t raceIndex, const std::string& track, int team,
                 const std::string& driver, const std::string& text, std::size_t dropped);

// A forfeit as the report shows it: which race, who, when, why.
struct ForfeitRecord {
  std::size_t matchup = 0;
  std::string track;
  int raceNumber = 0;
  int rotation = 0;
  int side = 0;
  std::string driver;
  bots::Problem problem;
};

struct TournamentConfig;
struct PlayedRace;

// Every forfeit of the played races, in schedule order.
std::vector<ForfeitRecord> collectForfeits(const TournamentConfig& config,
                                           const std::vector<PlayedRace>& played);

} // namespace pod::arena
