#include "tracedir.h"

#include "badinput.h"
#include "trace/tracewriter.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace pod::arena {

namespace {

namespace fs = std::filesystem;

// Lower-case letters and digits, anything else one dash.
std::string slug(const std::string& text) {
  std::string s;
  for (unsigned char c : text) {
    if (std::isalnum(c))
      s += static_cast<char>(std::tolower(c));
    else if (!s.empty() && s.back() != '-')
      s += '-';
  }
  while (!s.empty() && s.back() == '-')
    s.pop_back();
  return s.empty() ? "x" : s;
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

std::string traceFileName(const TournamentConfig& config, const RaceJob& job) {
  const Matchup& m = config.matchups.at(job.matchup);
  std::string name;
  for (std::size_t s = 0; s < m.drivers.size(); ++s)
    name += (s > 0 ? "-vs-" : "") + slug(m.drivers[s]);
  char track[16];
  std::snprintf(track, sizeof track, "_t%02zu-", job.track + 1);
  char race[32];
  std::snprintf(race, sizeof race, "_race%03d_sides", job.raceNumber + 1);
  name += track + slug(config.tracks.at(job.track).name) + race;
  for (int side : job.seats)
    name += std::to_string(side + 1);
  return name + ".jsonl";
}

TraceDirectory::TraceDirectory(std::string dir, const TournamentConfig& config)
    : dir_(std::move(dir)), config_(config) {
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
  const std::string path = (fs::path(dir_) / traceFileName(config_, job)).string();
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
