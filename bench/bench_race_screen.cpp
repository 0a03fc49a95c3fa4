// Race screen frames: update and draw of a race in progress, in the real
// window (run under a display server), with the race screen wired in as the
// game wires it.
//   bench_race_screen [--frames N] [--races K] [--drivers NAME1 NAME2] [--speed I]
// Prints the median wall and CPU time of a frame (update + draw + display),
// the frames per second that this allows, where the process's CPU went (main
// thread, the software renderer's threads, the planner workers), the heap
// allocations the main thread made per frame, and with --races the resident
// memory after each of K races.
#include "../tests/simulation/raceharness.h"

#include "brains/driverregistry.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
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

#include <unistd.h>

// Counts the heap allocations of the main thread while a frame runs.
namespace {
thread_local bool tCounting = false;
std::size_t gAllocations = 0;
} // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (tCounting)
    ++gAllocations;
  if (void* p = std::malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

// CPU seconds of this process's threads, split by the thread's name: the
// renderer's ("llvmpipe-N"), the main thread's and every other (planners).
struct ThreadTimes {
  double main = 0.0;
  double renderer = 0.0;
  double others = 0.0;
};

ThreadTimes threadTimes() {
  ThreadTimes times;
  const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
  const std::string self = std::to_string(getpid());
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream in(task.path() / "stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t open = stat.find('(');
    const std::size_t close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos)
      continue;
    const std::string name = stat.substr(open + 1, close - open - 1);
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    double ticks = 0.0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
      if (i == 14 || i == 15)
        ticks += std::atof(field.c_str());
    const double seconds = ticks / tick;
    if (task.path().filename() == self)
      times.main += seconds;
    else if (name.rfind("llvmpipe", 0) == 0)
      times.renderer += seconds;
    else
      times.others += seconds;
  }
  return times;
}

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

void startRace(const std::string& first, const std::string& second, int speed) {
  pod::RaceConfiguration config;
  config.track.load("resources/tracks/grand_prix_loop.prt");
  for (const std::string& name : {first, second}) {
    auto brain = pod::createDriver(name, false);
    if (!brain) {
      std::cerr << "Unknown driver " << name << std::endl;
      std::exit(EXIT_FAILURE);
    }
    brain->setTeam(static_cast<int>(config.brains.size()));
    config.brains.push_back(std::move(brain));
    config.teamNames.push_back(name);
  }
  raceharness::states().race()->setSpeed(speed);
  raceharness::states().goToRace(std::move(config));
}

} // namespace

int main(int argc, char** argv) {
  std::srand(1);
  int frames = 600;
  int races = 0;
  int speed = 5;
  std::string first = "Steering heuristics";
  std::string second = "Steering heuristics";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--frames" && i + 1 < argc)
      frames = std::atoi(argv[++i]);
    else if (arg == "--races" && i + 1 < argc)
      races = std::atoi(argv[++i]);
    else if (arg == "--speed" && i + 1 < argc)
      speed = std::atoi(argv[++i]);
    else if (arg == "--drivers" && i + 2 < argc) {
      first = argv[++i];
      second = argv[++i];
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

  std::vector<double> allocations;
  auto runRace = [&](int count, std::vector<double>& wall, std::vector<double>& process,
                     std::vector<double>& thread) {
    startRace(first, second, speed);
    while (race.isCountingDown())
      race.update(rate);
    for (int f = 0; f < count; ++f) {
      const double w0 = wallSeconds();
      const double p0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
      const double t0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
      vexa::inputManager().update();
      const std::size_t allocationsBefore = gAllocations;
      tCounting = true;
      race.update(rate);
      window.clear();
      race.draw(rate, 1.f);
      tCounting = false;
      window.display();
      allocations.push_back(static_cast<double>(gAllocations - allocationsBefore));
      thread.push_back(cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - t0);
      process.push_back(cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - p0);
      wall.push_back(wallSeconds() - w0);
    }
  };

  std::vector<double> wall, process, thread;
  const ThreadTimes before = threadTimes();
  if (races <= 0) {
    runRace(frames, wall, process, thread);
  } else {
    for (int r = 0; r < races; ++r) {
      runRace(frames, wall, process, thread);
      std::printf("race %d: resident %ld KiB\n", r + 1, residentKiB());
    }
  }
  const ThreadTimes after = threadTimes();
  race.leaveForMenu();
  std::printf("%s vs %s, speed %d, %zu frames at %ux%u\n", first.c_str(), second.c_str(),
              speed, wall.size(), window.getSize().x, window.getSize().y);
  std::printf("median frame: wall %.2f ms, main thread CPU %.2f ms, process CPU %.2f ms\n",
              median(wall) * 1e3, median(thread) * 1e3, median(process) * 1e3);
  std::printf("frames per second at the median wall time: %.1f\n", 1.0 / median(wall));
  const double n = static_cast<double>(wall.size());
  std::printf("CPU per frame, mean over the run (scheduler ticks): main thread %.2f ms, "
              "renderer threads %.2f ms, planner workers %.2f ms\n",
              (after.main - before.main) / n * 1e3, (after.renderer - before.renderer) / n * 1e3,
              (after.others - before.others) / n * 1e3);
  // The first frames of a race fill caches (glyphs, vertex arrays).
  const std::vector<double> settled(allocations.begin() + static_cast<long>(allocations.size() / 4),
                                    allocations.end());
  double total = 0.0;
  for (double a : settled)
    total += a;
  std::printf("heap allocations of the main thread per frame, after the first quarter: "
              "mean %.2f, max %.0f\n",
              settled.empty() ? 0.0 : total / static_cast<double>(settled.size()),
              settled.empty() ? 0.0 : *std::max_element(settled.begin(), settled.end()));
  return EXIT_SUCCESS;
}
