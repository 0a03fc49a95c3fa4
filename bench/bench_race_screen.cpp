// Race screen frames: update and draw of a race in progress, in the real
// window (run under a display server), with the race screen wired in as the
// game wires it.
//   bench_race_screen [--frames N] [--races K] [--drivers NAME1 NAME2] [--speed I]
//                     [--time-attack] [--player] [--replay] [--select POD] [--where F]
// Prints the median wall and CPU time of a frame (input step + update + draw +
// display), the frames per second that this allows, where the process's CPU
// went (main thread, the software renderer's threads, the planner workers),
// the heap allocations the main thread made per frame once settled, and with
// --races the resident memory after each of K races.
// --time-attack races the two drivers twice each, one pod per team; --player
// puts a keyboard player (and its blocker) in the first team; --replay plays
// the race to its end unseen, then measures frames of its replay; --select
// shows a pod's statistics. --where F prints on standard error the call
// stack of every operator new of F settled frames, the blocks that C++ code
// takes (addr2line -f -C -e bench_race_screen names the +0x offsets).
#include "../tests/simulation/raceharness.h"

#include "app/inputbuttonstates.h"
#include "brains/driverregistry.h"
#include "brains/playerbrain.h"

#include <vexa/core/inputprocessor.h>
#include <vexa/core/loopcontextlock.h>

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <iostream>
#include <string>
#include <vector>

#include <execinfo.h>
#include <unistd.h>

#include "threadtimes.h"

// Counts the heap blocks the main thread takes while a frame runs. The C
// allocator is replaced (over glibc's own), so that the display driver's and
// the window system's blocks count as well as ours and SFML's; operator new
// is counted apart, as the part that C++ code (ours, SFML) takes.
namespace {
thread_local bool tCounting = false;
thread_local bool tInNew = false;
thread_local bool tTracing = false;
std::size_t gAllocations = 0;
std::size_t gNews = 0;
bool gWhere = false;

void counted() {
  if (!tCounting)
    return;
  ++gAllocations;
  if (gWhere && tInNew && !tTracing) {
    tTracing = true; // backtrace may allocate the first time
    void* frames[32];
    const int n = backtrace(frames, 32);
    dprintf(STDERR_FILENO, "allocation:\n");
    backtrace_symbols_fd(frames, n, STDERR_FILENO);
    tTracing = false;
  }
}
} // namespace

extern "C" {
void* __libc_malloc(std::size_t size) noexcept;
void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
void* __libc_realloc(void* block, std::size_t size) noexcept;
void* __libc_memalign(std::size_t alignment, std::size_t size) noexcept;

void* malloc(std::size_t size) noexcept {
  counted();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
  counted();
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) noexcept {
  if (size != 0)
    counted();
  return __libc_realloc(block, size);
}
void* memalign(std::size_t alignment, std::size_t size) noexcept {
  counted();
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  counted();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** block, std::size_t alignment, std::size_t size) noexcept {
  counted();
  void* p = __libc_memalign(alignment, size);
  if (!p)
    return ENOMEM;
  *block = p;
  return 0;
}
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (tCounting)
    ++gNews;
  tInNew = true;
  void* p = std::malloc(size ? size : 1);
  tInNew = false;
  if (!p)
    throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

using benchutil::ThreadTimes;
using benchutil::threadTimes;

double cpuSeconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double wallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

long residentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0)
      return std::atol(line.c_str() + 6);
  return -1;
}

double median(std::vector<double> v) {
  if (v.empty())
    return 0.0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Options {
  int frames = 600;
  int races = 0;
  int speed = 5;
  int where = 0;
  int select = -1;
  bool timeAttack = false;
  bool player = false;
  bool replay = false;
  std::string first = "Steering heuristics";
  std::string second = "Steering heuristics";
};

void startRace(const Options& options) {
  pod::RaceConfiguration config;
  config.track.load("resources/tracks/grand_prix_loop.prt");
  std::vector<std::string> names = {options.first, options.second};
  if (options.timeAttack) {
    config.timeAttack = true;
    config.nbPodsPerTeam = 1;
    names = {options.first, options.second, options.first, options.second};
  }
  for (const std::string& name : names) {
    std::unique_ptr<pod::AbstractBrain> brain;
    if (options.player && config.brains.empty()) {
      brain = std::make_unique<pod::PlayerBrain>(pod::keyboardButtons());
      config.player1Pod = 0;
    } else {
      brain = pod::createDriver(name, options.timeAttack);
    }
    if (!brain) {
      std::cerr << "Unknown driver " << name << std::endl;
      std::exit(EXIT_FAILURE);
    }
    brain->setTeam(static_cast<int>(config.brains.size()));
    config.brains.push_back(std::move(brain));
    config.teamNames.push_back(name);
  }
  raceharness::states().race()->setSpeed(options.speed);
  raceharness::states().goToRace(std::move(config));
}

// The race played to its end at once, then shown as a replay.
void startReplay(pod::StateRace& race) {
  pod::RaceSimulation& simulation = race.simulation();
  for (int turn = 0; simulation.winner() < 0 && turn < 3000; ++turn)
    simulation.turn(pod::StateRace::cTurnTime);
  if (!raceharness::states().goToReplay(simulation.recording())) {
    std::cerr << "The race could not be replayed" << std::endl;
    std::exit(EXIT_FAILURE);
  }
}

} // namespace

int main(int argc, char** argv) {
  std::srand(1);
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--frames" && i + 1 < argc)
      options.frames = std::atoi(argv[++i]);
    else if (arg == "--races" && i + 1 < argc)
      options.races = std::atoi(argv[++i]);
    else if (arg == "--speed" && i + 1 < argc)
      options.speed = std::atoi(argv[++i]);
    else if (arg == "--where" && i + 1 < argc)
      options.where = std::atoi(argv[++i]);
    else if (arg == "--select" && i + 1 < argc)
      options.select = std::atoi(argv[++i]);
    else if (arg == "--drivers" && i + 2 < argc) {
      options.first = argv[++i];
      options.second = argv[++i];
    } else {
      options.timeAttack = options.timeAttack || arg == "--time-attack";
      options.player = options.player || arg == "--player";
      options.replay = options.replay || arg == "--replay";
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
  sf::RenderWindow& window = *vexa::graphics().window();
  pod::StateRace& race = *raceharness::states().race();
  const float rate = pod::StateRace::cRaceGameRate;
  // As the game's main loop holds one: without it SFML allocates at every bind.
  const vexa::LoopContextLock contextLock(&window);

  // Per settled frame: all blocks, and those of operator new. The first
  // quarter of each race fills caches (glyphs, vertex arrays, queues).
  std::vector<double> allocations, news;
  auto runRace = [&](int count, std::vector<double>& wall, std::vector<double>& process,
                     std::vector<double>& thread) {
    startRace(options);
    while (race.isCountingDown())
      race.update(rate);
    if (options.replay)
      startReplay(race);
    race.simulation().setSelectedPod(options.select);
    for (int f = 0; f < count; ++f) {
      const bool settled = f >= count / 4;
      gWhere = settled && f < count / 4 + options.where;
      const double w0 = wallSeconds();
      const double p0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
      const double t0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
      const std::size_t allocationsBefore = gAllocations;
      const std::size_t newsBefore = gNews;
      tCounting = true;
      // One step of the main loop: input edges, window events, update.
      vexa::inputManager().update();
      for (sf::Event event; window.pollEvent(event);)
        vexa::inputProcessor().handleEvent(event);
      race.update(rate);
      window.clear();
      race.draw(rate, 1.f);
      window.display();
      tCounting = false;
      if (settled) {
        allocations.push_back(static_cast<double>(gAllocations - allocationsBefore));
        news.push_back(static_cast<double>(gNews - newsBefore));
      }
      thread.push_back(cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - t0);
      process.push_back(cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - p0);
      wall.push_back(wallSeconds() - w0);
    }
  };

  std::vector<double> wall, process, thread;
  const ThreadTimes before = threadTimes();
  if (options.races <= 0) {
    runRace(options.frames, wall, process, thread);
  } else {
    for (int r = 0; r < options.races; ++r) {
      runRace(options.frames, wall, process, thread);
      std::printf("race %d: resident %ld KiB\n", r + 1, residentKiB());
    }
  }
  const ThreadTimes after = threadTimes();
  race.leaveForMenu();
  std::printf("%s vs %s%s%s%s, speed %d, %zu frames at %ux%u\n", options.first.c_str(),
              options.second.c_str(), options.timeAttack ? ", time attack" : "",
              options.player ? ", with a player" : "", options.replay ? ", replay" : "",
              options.speed, wall.size(), window.getSize().x, window.getSize().y);
  std::printf("median frame: wall %.2f ms, main thread CPU %.2f ms, process CPU %.2f ms\n",
              median(wall) * 1e3, median(thread) * 1e3, median(process) * 1e3);
  std::printf("frames per second at the median wall time: %.1f\n", 1.0 / median(wall));
  const double n = static_cast<double>(wall.size());
  std::printf("CPU per frame, mean over the run (scheduler ticks): main thread %.2f ms, "
              "renderer threads %.2f ms, planner workers %.2f ms\n",
              (after.main - before.main) / n * 1e3, (after.renderer - before.renderer) / n * 1e3,
              (after.others - before.others) / n * 1e3);
  const auto mean = [](const std::vector<double>& v) {
    double total = 0.0;
    for (double a : v)
      total += a;
    return v.empty() ? 0.0 : total / static_cast<double>(v.size());
  };
  const auto most = [](const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
  };
  // The median tells a steady cost from a rare one (the renderer compiling a
  // new shader variant, a text longer than before).
  std::printf("heap allocations of the main thread per frame, after each race's first "
              "quarter: mean %.2f, median %.0f, max %.0f (operator new: mean %.2f, "
              "median %.0f, max %.0f)\n",
              mean(allocations), median(allocations), most(allocations), mean(news),
              median(news), most(news));
  return EXIT_SUCCESS;
}
