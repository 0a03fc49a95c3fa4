// Races in the game's own main loop: real clock, paced frames, planner
// workers thinking in real time, in the real window (run under a display
// server), the race screen wired in as the game wires it.
//   bench_race_loop [--drivers NAME1 NAME2] [--speed I] [--seconds S]
//                   [--races N] [--tracks DIR] [--select POD] [--debug]
// --seconds S (default 20): S seconds of racing from the end of the first
// countdown (a race that ends starts again on the next track). Prints the
// frames per second and, per planner, the evolution steps behind the
// commands of each turn (mean, and the 10th percentile of turns), the share
// of turns played on a plan made for an earlier turn, and the CPU that each
// kind of thread used.
// --races N: N whole races instead, the tracks of the folder in turn, the
// first driver on team 0 in the 1st, 3rd, ... race and on team 1 in the
// others; one line per race, then the first driver's wins.
// --select shows a pod's statistics, --debug the debug mode (both with their
// planner figures).
#include "../tests/simulation/raceharness.h"

#include "brains/driverregistry.h"
#include "brains/plannerstats.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "threadtimes.h"

namespace {

using benchutil::ThreadTimes;
using benchutil::threadTimes;

double wallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string loadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

struct Options {
  std::string first = "Genetic";
  std::string second = "Steering heuristics";
  int speed = 3;
  double seconds = 20.0;
  int races = 0;
  std::string tracksDir = "resources/tracks";
  int select = -1;
  bool debug = false;
};

// One planner's thinking over the turns measured.
struct Tally {
  std::uint64_t turns = 0;
  std::uint64_t steps = 0;
  std::uint64_t late = 0;
  std::vector<std::uint32_t> perTurn;
};

class LoopBench {
public:
  LoopBench(raceharness::HarnessApp& app, Options options)
      : app_(app), options_(std::move(options)) {
    for (const auto& entry : std::filesystem::directory_iterator(options_.tracksDir))
      if (entry.path().extension() == ".prt")
        tracks_.push_back(entry.path().string());
    std::sort(tracks_.begin(), tracks_.end());
    if (tracks_.empty()) {
      std::cerr << "No track in " << options_.tracksDir << std::endl;
      std::exit(EXIT_FAILURE);
    }
  }

  int run() {
    startRace();
    sf::RenderWindow& window = *vexa::graphics().window();
    bool stepBegun = false;
    app_.setEventSource([&](sf::Event& event) {
      if (!stepBegun) {
        stepBegun = true;
        onStep();
      }
      if (window.isOpen() && window.pollEvent(event))
        return true;
      stepBegun = false;
      return false;
    });
    app_.run();
    raceharness::states().race()->leaveForMenu();
    report();
    return EXIT_SUCCESS;
  }

private:
  pod::RaceSimulation& simulation() { return raceharness::states().race()->simulation(); }

  // The first driver on team 0 in even-numbered races (counted from 0).
  bool swapped() const { return options_.races > 0 && racesStarted_ % 2 == 1; }

  void startRace() {
    pod::RaceConfiguration config;
    trackName_ = tracks_[static_cast<std::size_t>(racesStarted_) % tracks_.size()];
    config.track.load(trackName_);
    const std::vector<std::string> names =
        swapped() ? std::vector<std::string>{options_.second, options_.first}
                  : std::vector<std::string>{options_.first, options_.second};
    for (const std::string& name : names) {
      std::unique_ptr<pod::AbstractBrain> brain = pod::createDriver(name, false);
      if (!brain) {
        std::cerr << "Unknown driver " << name << std::endl;
        std::exit(EXIT_FAILURE);
      }
      brain->setTeam(static_cast<int>(config.brains.size()));
      config.brains.push_back(std::move(brain));
      config.teamNames.push_back(name);
    }
    teamNames_ = names;
    firstTeam_ = swapped() ? 1 : 0;
    raceharness::states().race()->setSpeed(options_.speed);
    raceharness::states().goToRace(std::move(config));
    simulation().setSelectedPod(options_.select);
    if (simulation().debugMode() != options_.debug)
      simulation().toggleDebugMode();
    baselines_.clear();
    ++racesStarted_;
  }

  // Called at the start of every update step of the main loop.
  void onStep() {
    pod::StateRace& race = *raceharness::states().race();
    if (!measuring_) {
      if (race.isCountingDown())
        return;
      measuring_ = true;
      start_ = wallSeconds();
      frames0_ = app_.framesPresented();
      cpu0_ = threadTimes();
      load0_ = loadAverage();
    }
    sample();
    const bool finished = simulation().winner() >= 0 || simulation().winnerBoard().isDraw();
    if (finished) {
      collect();
      if (options_.races > 0) {
        const int team = firstTeam_;
        const int winner = simulation().winner();
        if (winner == team)
          ++firstWins_;
        std::printf("race %d, %s: %s (team %d) %s %s (team %d), %zu turns\n", racesStarted_,
                    std::filesystem::path(trackName_).stem().c_str(), options_.first.c_str(),
                    team, winner == team ? "beats" : "loses to", options_.second.c_str(),
                    1 - team, simulation().recording().turnCount());
        if (racesStarted_ >= options_.races)
          return stop();
      }
      startRace();
      return;
    }
    if (options_.races == 0 && wallSeconds() - start_ >= options_.seconds) {
      collect();
      stop();
    }
  }

  void stop() {
    end_ = wallSeconds();
    frames1_ = app_.framesPresented();
    cpu1_ = threadTimes();
    load1_ = loadAverage();
    app_.close();
  }

  template <class Visit>
  void forEachPlanner(Visit&& visit) {
    for (std::size_t team = 0; team < simulation().brainCount(); ++team) {
      const auto* stats = dynamic_cast<const pod::PlannerStats*>(simulation().brain(team));
      if (!stats)
        continue;
      for (int p = 0; p < stats->plannerCount(); ++p) {
        std::string key = teamNames_[team];
        if (stats->plannerCount() > 1)
          key += p == 0 ? ", first pod" : ", second pod";
        visit(key + " (team " + std::to_string(team) + ")", key, stats->thinkRecord(p));
      }
    }
  }

  // The steps behind each turn's commands, turn by turn.
  void sample() {
    forEachPlanner([this](const std::string& slot, const std::string&,
                          const pod::ThinkRecord& record) {
      auto found = seen_.find(slot);
      if (found != seen_.end() && found->second == record.turns)
        return;
      std::uint64_t before = found == seen_.end() ? 0 : found->second;
      if (baselines_.find(slot) == baselines_.end())
        baselines_[slot] = record;
      // Only the last turn's figure is kept: several turns of one update
      // step share it.
      for (; before < record.turns; ++before)
        pending_[slot].push_back(record.lastSteps);
      seen_[slot] = record.turns;
    });
  }

  void collect() {
    forEachPlanner([this](const std::string& slot, const std::string& key,
                          const pod::ThinkRecord& record) {
      const pod::ThinkRecord& base = baselines_[slot];
      Tally& tally = tallies_[options_.races > 0 ? key : slot];
      tally.turns += record.turns - base.turns;
      tally.steps += record.stepsSum - base.stepsSum;
      tally.late += record.lateTurns - base.lateTurns;
      std::vector<std::uint32_t>& turns = pending_[slot];
      tally.perTurn.insert(tally.perTurn.end(), turns.begin(), turns.end());
    });
    pending_.clear();
    seen_.clear();
    baselines_.clear();
  }

  void report() {
    const double wall = end_ - start_;
    const double frames = static_cast<double>(frames1_ - frames0_);
    std::printf("%s vs %s, speed %d, %.1f s in the main loop, load %s -> %s\n",
                options_.first.c_str(), options_.second.c_str(), options_.speed, wall,
                load0_.c_str(), load1_.c_str());
    std::printf("frames per second: %.1f\n", wall > 0.0 ? frames / wall : 0.0);
    for (auto& [name, tally] : tallies_) {
      std::vector<std::uint32_t>& v = tally.perTurn;
      std::sort(v.begin(), v.end());
      const double mean = tally.turns ? static_cast<double>(tally.steps) / tally.turns : 0.0;
      std::printf("planner %s: %.0f evolution steps per turn (10th percentile %u, median %u), "
                  "%.1f %% of %llu turns on a late plan\n",
                  name.c_str(), mean, v.empty() ? 0u : v[v.size() / 10],
                  v.empty() ? 0u : v[v.size() / 2],
                  tally.turns ? 100.0 * static_cast<double>(tally.late) / tally.turns : 0.0,
                  static_cast<unsigned long long>(tally.turns));
    }
    std::printf("CPU cores used: main thread %.2f, renderer threads %.2f, planner workers %.2f\n",
                (cpu1_.main - cpu0_.main) / wall, (cpu1_.renderer - cpu0_.renderer) / wall,
                (cpu1_.others - cpu0_.others) / wall);
    if (options_.races > 0)
      std::printf("%s won %d of %d races\n", options_.first.c_str(), firstWins_, racesStarted_);
  }

  raceharness::HarnessApp& app_;
  Options options_;
  std::vector<std::string> tracks_;
  std::string trackName_;
  std::vector<std::string> teamNames_;
  int racesStarted_ = 0;
  int firstTeam_ = 0;
  int firstWins_ = 0;
  bool measuring_ = false;
  double start_ = 0.0;
  double end_ = 0.0;
  std::uint64_t frames0_ = 0;
  std::uint64_t frames1_ = 0;
  ThreadTimes cpu0_;
  ThreadTimes cpu1_;
  std::string load0_;
  std::string load1_;
  std::map<std::string, pod::ThinkRecord> baselines_;
  std::map<std::string, std::uint64_t> seen_;
  std::map<std::string, std::vector<std::uint32_t>> pending_;
  std::map<std::string, Tally> tallies_;
};

} // namespace

int main(int argc, char** argv) {
  std::srand(1);
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--speed" && i + 1 < argc)
      options.speed = std::atoi(argv[++i]);
    else if (arg == "--seconds" && i + 1 < argc)
      options.seconds = std::atof(argv[++i]);
    else if (arg == "--races" && i + 1 < argc)
      options.races = std::atoi(argv[++i]);
    else if (arg == "--tracks" && i + 1 < argc)
      options.tracksDir = argv[++i];
    else if (arg == "--select" && i + 1 < argc)
      options.select = std::atoi(argv[++i]);
    else if (arg == "--debug")
      options.debug = true;
    else if (arg == "--drivers" && i + 2 < argc) {
      options.first = argv[++i];
      options.second = argv[++i];
    }
    // Other arguments (those of the benchmark runner) are ignored.
  }
  raceharness::HarnessApp app;
  try {
    app.init();
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return EXIT_FAILURE;
  }
  return LoopBench(app, options).run();
}
