#include "tracedir.h"

#include "badinput.h"
#include "trace/tracewriter.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace pod::arena {

namespace {

namespace fs = std::filesystem;

// Lower-case letters and digits, anything else one dash, at most 48
// characters: a file name must stay well under the system's 255 bytes.
std::string slug(const std::string& text) {
  constexpr std::size_t kMaxLength = 48;
  std::string s;
  for (unsigned char c : text) {
    if (s.size() >= kMaxLength)
      break;
    if (std::isalnum(c))
      s += static_cast<char>(std::tolower(c));
    else if (!s.empty() && s.back() != '-')
      s += '-';
  }
  while (!s.empty() && s.back() == '-')
    s.pop_back();
  return s.empty() ? "x" : s;
}

// A slug never holds '_', so "_pNN" cannot be mistaken for part of one.
std::vector<std::string> pairingNames(const TournamentConfig& config) {
  std::vector<std::string> names;
  std::map<std::string, int> uses;
  for (const auto& m : config.matchups) {
    std::string name;
    for (std::size_t s = 0; s < m.drivers.size(); ++s)
      name += (s > 0 ? "-vs-" : "") + slug(m.drivers[s]);
    ++uses[name];
    names.push_back(std::move(name));
  }
  for (std::size_t i = 0; i < names.size(); ++i)
    if (uses[names[i]] > 1) {
      char number[24];
      std::snprintf(number, sizeof number, "_p%02zu", i + 1);
      names[i] += number;
    }
  return names;
}

class TraceFile final : public RaceObserver {
public:
  TraceFile(const std::string& path, const Track& track, bool timeAttack,
            std::vector<std::string> teams, TraceDirectory& owner)
      : path_(path), file_(path, std::ios::trunc),
        writer_(file_, track, timeAttack, std::move(teams)), owner_(owner) {}
  ~TraceFile() override {
    file_.close();
    if (!file_)
      owner_.noteFailure(path_);
  }
  void raceStarted(const Race& start) override { writer_.raceStarted(start); }
  void turnPlayed(int turn, const std::vector<Influence>& influences,
                  const std::vector<PhysicsEvent>& events, const Race& state) override {
    writer_.turnPlayed(turn, influences, events, state);
  }

private:
  std::string path_;
  std::ofstream file_;
  TraceWriter writer_;
  TraceDirectory& owner_;
};

} // namespace

std::string TraceDirectory::fileName(const RaceJob& job) const {
  std::string name = pairings_.at(job.matchup);
  char track[32];
  std::snprintf(track, sizeof track, "_t%02zu-", job.track + 1);
  char race[32];
  std::snprintf(race, sizeof race, "_race%03d_sides", job.raceNumber + 1);
  name += track + slug(config_.tracks.at(job.track).name) + race;
  for (int side : job.seats)
    name += std::to_string(side + 1);
  return name + ".jsonl";
}

TraceDirectory::TraceDirectory(std::string dir, const TournamentConfig& config)
    : dir_(std::move(dir)), config_(config), pairings_(pairingNames(config)) {
  std::error_code ec;
  fs::create_directories(dir_, ec);
  if (!fs::is_directory(dir_, ec))
    throw BadInput{"cannot create the trace folder '" + dir_ + "'"};
}

std::unique_ptr<RaceObserver> TraceDirectory::open(const RaceJob& job) {
  const Matchup& m = config_.matchups.at(job.matchup);
  std::vector<std::string> teams;
  for (int side : job.seats)
    teams.push_back(m.drivers.at(static_cast<std::size_t>(side)));
  const std::string path = (fs::path(dir_) / fileName(job)).string();
  return std::make_unique<TraceFile>(path, config_.tracks.at(job.track), config_.timeAttack,
                                     std::move(teams), *this);
}

void TraceDirectory::noteFailure(const std::string& path) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (failure_.empty())
    failure_ = path;
}

std::string TraceDirectory::failure() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return failure_;
}

} // namespace pod::arena
