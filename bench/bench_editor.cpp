// One frame of the track editor with 50 checkpoints, one of them selected: an
// update step and a drawn, presented frame, as the main loop runs them. Run
// from the repository under a display server:
//   xvfb-run -a -s "-screen 0 1600x900x24" ./build/bench/bench_editor
// CPU time is the program's own thread; the display server and the driver's
// threads are not counted.

#include "app/podapp.h"
#include "app/podstatemanager.h"
#include "screens/stateleveleditor.h"

#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <benchmark/benchmark.h>

#include <iostream>
#include <memory>

namespace {

std::unique_ptr<pod::PodApp> gApp;

void BM_EditorFrame50Checkpoints(benchmark::State& state) {
  auto& states = dynamic_cast<pod::PodStateManager&>(vexa::stateManager());
  states.goToLevelEditor();
  auto* editor = dynamic_cast<pod::StateLevelEditor*>(states.currentState());
  if (!editor) {
    state.SkipWithError("no editor screen");
    return;
  }
  std::streambuf* out = std::cout.rdbuf(nullptr); // "Creating new checkpoint" lines
  for (int i = 0; i < 50; ++i)
    editor->edit().create({-7000.f + 1500.f * static_cast<float>(i % 10),
                           -3600.f + 1800.f * static_cast<float>(i / 10)});
  std::cout.rdbuf(out);
  editor->edit().select(editor->edit().track().checkpoints[7].position);
  if (editor->edit().track().checkpoints.size() != 50u) {
    state.SkipWithError("checkpoints not created");
    return;
  }

  sf::RenderWindow& window = *vexa::graphics().window();
  for (auto _ : state) {
    vexa::inputManager().update();
    editor->update(1.f / 60.f);
    window.clear(sf::Color::Black);
    editor->draw(1.f / 60.f, 1.f);
    window.display();
  }
}
BENCHMARK(BM_EditorFrame50Checkpoints)->Unit(benchmark::kMicrosecond);

// Clearing and presenting an empty frame: the floor set by the display
// server and the driver, for reading the one above.
void BM_EmptyFramePresented(benchmark::State& state) {
  sf::RenderWindow& window = *vexa::graphics().window();
  for (auto _ : state) {
    window.clear(sf::Color::Black);
    window.display();
  }
}
BENCHMARK(BM_EmptyFramePresented)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  gApp = std::make_unique<pod::PodApp>();
  if (!gApp->init())
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  gApp.reset();
  return 0;
}
