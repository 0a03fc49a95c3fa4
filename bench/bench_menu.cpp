// The menu's costs: start-up to the first drawn frame, one menu frame, and the
// memory of the running game. Run from the repository under a display server:
//   xvfb-run -a -s "-screen 0 1600x900x24" ./build/bench/bench_menu

#include "app/podapp.h"

#include <vexa/core/abstractstate.h>
#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/statemanager.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

std::unique_ptr<pod::PodApp> gApp;

// Resident memory of this process in kB, from the kernel.
long residentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0)
      return std::stol(line.substr(6));
  }
  return -1;
}

double cpuSeconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void drawFrame() {
  sf::RenderWindow& window = *vexa::graphics().window();
  window.clear(sf::Color::Black);
  vexa::stateManager().currentState()->draw(1.f / 60.f, 1.f);
  window.display();
}

void updateStep() {
  vexa::inputManager().update();
  vexa::stateManager().currentState()->update(0.05f);
}

// One update step and one drawn frame, as the main loop runs them. Frames are
// presented: unpresented draw calls would pile up in the driver and be paid
// for by whatever presents next.
void BM_MenuFrame(benchmark::State& state) {
  for (auto _ : state) {
    updateStep();
    drawFrame();
  }
}
BENCHMARK(BM_MenuFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();

// The same frame in the main thread's CPU time: what the game's own code and
// the driver's calls on that thread cost, whatever the renderer's threads do.
void BM_MenuFrameMainThread(benchmark::State& state) {
  for (auto _ : state) {
    updateStep();
    drawFrame();
  }
}
BENCHMARK(BM_MenuFrameMainThread)->Unit(benchmark::kMicrosecond);

// Clearing and presenting an empty frame: the floor set by the display
// server and the driver, for reading the two above.
void BM_EmptyFramePresented(benchmark::State& state) {
  sf::RenderWindow& window = *vexa::graphics().window();
  for (auto _ : state) {
    window.clear(sf::Color::Black);
    window.display();
  }
}
BENCHMARK(BM_EmptyFramePresented)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);

  const auto start = std::chrono::steady_clock::now();
  const double threadStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  gApp = std::make_unique<pod::PodApp>();
  gApp->init();
  drawFrame();
  const auto firstFrame = std::chrono::steady_clock::now();
  const double startupMs =
      std::chrono::duration<double, std::milli>(firstFrame - start).count();
  std::printf("start-up to first drawn frame: %.1f ms (CPU: main thread %.1f ms, process %.1f ms)\n",
              startupMs, (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadStart) * 1e3,
              (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart) * 1e3);
  std::printf("resident memory after start-up: %ld kB\n", residentKb());

  benchmark::RunSpecifiedBenchmarks();
  std::printf("resident memory after the frames: %ld kB\n", residentKb());

  // The game's own loop on the menu, with no input for 5 s: a still menu is
  // drawn only at the idle refresh. The window's real events are dropped.
  const auto idleStart = std::chrono::steady_clock::now();
  gApp->setEventSource([idleStart](sf::Event&) {
    if (std::chrono::steady_clock::now() - idleStart >= std::chrono::seconds(5))
      vexa::stateManager().setQuit(true);
    return false;
  });
  const double idleProcess = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  gApp->run();
  const double idleSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - idleStart).count();
  const double idleCpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - idleProcess;
  std::printf("idle menu, the game's loop for %.1f s: %.0f ms of process CPU per second, "
              "%.2f ms per 1/60 s frame period\n",
              idleSeconds, idleCpu / idleSeconds * 1e3, idleCpu / idleSeconds * 1e3 / 60.0);
  benchmark::Shutdown();
  gApp.reset();
  return 0;
}
