// The effects showcase's frame, page by page: one update step and one drawn
// and presented frame, as the main loop runs them. Run from the repository
// under a display server:
//   xvfb-run -a -s "-screen 0 1920x1080x24" ./build/bench/bench_vfx
// "CPU" is the program's own thread; the ".../process" runs add the threads
// of the driver (Mesa's software rasteriser under Xvfb).

#include "app/podapp.h"
#include "app/podstatemanager.h"
#include "screens/statevfx.h"

#include <vexa/core/application.h>
#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<pod::PodApp> gApp;

pod::StateVFX& showcase() {
  auto& states = dynamic_cast<pod::PodStateManager&>(vexa::stateManager());
  states.goToVFX();
  return dynamic_cast<pod::StateVFX&>(*states.currentState());
}

void frames(benchmark::State& state) {
  pod::StateVFX& vfx = showcase();
  vfx.changePage(static_cast<int>(state.range(0)));
  sf::RenderWindow& window = *vexa::graphics().window();
  const float rate = vexa::application().gameRate();
  for (auto _ : state) {
    vexa::inputManager().update();
    vfx.update(rate);
    window.clear(sf::Color::Black);
    vfx.draw(1.f / 60.f, 1.f);
    window.display();
  }
  state.SetLabel(std::to_string(window.getSize().x) + "x" + std::to_string(window.getSize().y));
}

void BM_ShowcaseFrame(benchmark::State& state) { frames(state); }
BENCHMARK(BM_ShowcaseFrame)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShowcaseFrameProcess(benchmark::State& state) { frames(state); }
BENCHMARK(BM_ShowcaseFrameProcess)
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  gApp = std::make_unique<pod::PodApp>();
  if (!gApp->init()) {
    std::fprintf(stderr, "the game did not start\n");
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  gApp.reset();
  return 0;
}
