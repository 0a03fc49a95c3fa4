#include "tracedir.h"

#include "badinput.h"
#include "replayhtml.h"

#include "trace/trace.h"
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

// A race's trace file, its replay page, or both. The page is written when
// the race is over, from the trace kept in memory.
class RaceFiles final : public RaceObserver {
public:
  RaceFiles(const std::string& tracePath, const std::string& pagePath, const Track& track,
            bool timeAttack, std::vector<std::string> teams, TraceDirectory& owner)
      : tracePath_(tracePath), pagePath_(pagePath), track_(track), timeAttack_(timeAttack),
        teams_(std::move(teams)), owner_(owner) {
    if (!tracePath_.empty()) {
      file_.open(tracePath_, std::ios::trunc);
      writer_ = std::make_unique<TraceWriter>(file_, track, timeAttack, teams_);
    }
  }
  ~RaceFiles() override {
    if (writer_) {
      file_.close();
      if (!file_)
        owner_.noteFailure(tracePath_);
    }
    if (!pagePath_.empty() && started_) {
      try {
        std::ofstream page(pagePath_, std::ios::trunc);
        if (page)
          writeReplayPage(page, trace_);
        if (!page || !page.flush())
          owner_.noteFailure(pagePath_);
      } catch (const std::exception&) {
        owner_.noteFailure(pagePath_);
      }
    }
  }
  void raceStarted(const Race& start) override {
    if (writer_)
      writer_->raceStarted(start);
    if (!pagePath_.empty()) {
      trace_.begin(track_, teams_, start, kTurnTime);
      trace_.timeAttack = timeAttack_;
      started_ = true;
    }
  }
  void turnPlayed(int turn, const std::vector<Influence>& influences,
                  const std::vector<PhysicsEvent>& events, const Race& state) override {
    if (writer_)
      writer_->turnPlayed(turn, influences, events, state);
    if (started_)
      trace_.append(influences, events, state);
  }
  void forfeited(const Forfeit& forfeit, int winner) override {
    if (writer_)
      writer_->forfeited(forfeit, winner);
    trace_.forfeited = true;
    trace_.forfeit = forfeit;
    trace_.forfeitWinner = winner;
  }

private:
  std::string tracePath_;
  std::string pagePath_;
  const Track& track_;
  bool timeAttack_;
  std::vector<std::string> teams_;
  TraceDirectory& owner_;
  std::ofstream file_;
  std::unique_ptr<TraceWriter> writer_;
  Trace trace_;
  bool started_ = false;
};

} // namespace

std::string TraceDirectory::fileName(const RaceJob& job) const { return stem(job) + ".jsonl"; }

std::string TraceDirectory::stem(const RaceJob& job) const {
  std::string name = pairings_.at(job.matchup);
  char track[32];
  std::snprintf(track, sizeof track, "_t%02zu-", job.track + 1);
  char race[32];
  std::snprintf(race, sizeof race, "_race%03d_sides", job.raceNumber + 1);
  name += track + slug(config_.tracks.at(job.track).name) + race;
  for (int side : job.seats)
    name += std::to_string(side + 1);
  return name;
}

TraceDirectory::TraceDirectory(std::string dir, const TournamentConfig& config,
                               std::string htmlDir)
    : dir_(std::move(dir)), htmlDir_(std::move(htmlDir)), config_(config),
      pairings_(pairingNames(config)) {
  for (const auto& [folder, what] :
       {std::pair{dir_, "trace"}, std::pair{htmlDir_, "replay page"}}) {
    if (folder.empty())
      continue;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec))
      throw BadInput{std::string("cannot create the ") + what + " folder '" + folder + "'"};
  }
}

std::string TraceDirectory::pagePath(const RaceJob& job) const {
  return htmlDir_.empty() ? std::string() : (fs::path(htmlDir_) / (stem(job) + ".html")).string();
}

std::unique_ptr<RaceObserver> TraceDirectory::open(const RaceJob& job) {
  const Matchup& m = config_.matchups.at(job.matchup);
  std::vector<std::string> teams;
  for (int side : job.seats)
    teams.push_back(m.drivers.at(static_cast<std::size_t>(side)));
  const std::string path =
      dir_.empty() ? std::string() : (fs::path(dir_) / fileName(job)).string();
  return std::make_unique<RaceFiles>(path, pagePath(job), config_.tracks.at(job.track),
                                     config_.timeAttack, std::move(teams), *this);
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
