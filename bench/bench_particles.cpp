#include "particles/engineparticlesystem.h"
#include "particles/sparksparticlesystem.h"
#include "particles/trailparticlesystem.h"

#include <qutils/random.h>

#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

// Budget: update plus vertex rebuild of 5000 engine particles within 0.5 ms.
// Every sf::Texture opens the display in SFML 2.5, so run under xvfb-run.

namespace {

constexpr int cParticles = 5000;
constexpr float cFrame = 1.f / 60.f;

sf::Texture& atlas() {
  static std::unique_ptr<sf::Texture> texture = [] {
    auto t = std::make_unique<sf::Texture>();
    if (!t->create(64, 64))
      std::abort();
    return t;
  }();
  return *texture;
}

// Long-lived particles so the count stays at 5000 across iterations.
void fillEngine(pod::EngineParticleSystem& system) {
  std::srand(1);
  for (int i = 0; i < cParticles; ++i) {
    pod::EngineParticle p;
    p.start = {qutils::randomFloat(-1000.f, 1000.f), qutils::randomFloat(-1000.f, 1000.f)};
    p.velocity = qutils::Vec2::fromAngle(qutils::randomFloat(0.f, 360.f)) * 2000.f;
    p.total = 1e6f;
    p.remaining = p.total - qutils::randomFloat(0.f, 0.08f);
    p.rotation = qutils::randomFloat(-15.f, 15.f);
    p.frame = static_cast<std::uint32_t>(qutils::randomInt(0, 3));
    p.firstTeam = (i & 1) != 0;
    system.addParticle(p);
  }
  system.setTimeScale(1.f);
}

void BM_EngineUpdate(benchmark::State& state) {
  pod::EngineParticleSystem system(atlas(), cParticles);
  fillEngine(system);
  for (auto _ : state) {
    system.update(cFrame);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * cParticles);
}
BENCHMARK(BM_EngineUpdate)->Unit(benchmark::kMicrosecond);

void BM_EngineRebuild(benchmark::State& state) {
  pod::EngineParticleSystem system(atlas(), cParticles);
  fillEngine(system);
  for (auto _ : state) {
    system.update(0.f); // marks dirty without ageing
    benchmark::DoNotOptimize(&system.vertices());
  }
  state.SetItemsProcessed(state.iterations() * cParticles);
}
BENCHMARK(BM_EngineRebuild)->Unit(benchmark::kMicrosecond);

// The whole per-frame cost of one system: update, then rebuild for drawing.
void BM_EngineUpdateAndRebuild(benchmark::State& state) {
  pod::EngineParticleSystem system(atlas(), cParticles);
  fillEngine(system);
  for (auto _ : state) {
    system.update(cFrame);
    benchmark::DoNotOptimize(&system.vertices());
  }
  state.SetItemsProcessed(state.iterations() * cParticles);
}
BENCHMARK(BM_EngineUpdateAndRebuild)->Unit(benchmark::kMicrosecond);

// Steady thrust at 60 frames per second: emission included.
void BM_EngineThrustingFrame(benchmark::State& state) {
  pod::EngineParticleSystem system(atlas());
  system.setTimeScale(1.f);
  std::srand(2);
  for (auto _ : state) {
    system.update(cFrame);
    system.emit({0.f, 0.f}, 45.f, 200.f, true);
    benchmark::DoNotOptimize(&system.vertices());
  }
}
BENCHMARK(BM_EngineThrustingFrame)->Unit(benchmark::kMicrosecond);

void BM_SparksUpdateAndRebuild(benchmark::State& state) {
  pod::SparksParticleSystem system(atlas(), cParticles);
  std::srand(3);
  for (int i = 0; i < cParticles; ++i) {
    pod::SparkParticle p;
    p.velocity = qutils::Vec2::fromAngle(qutils::randomFloat(0.f, 360.f)) * 12000.f;
    p.total = 1e6f;
    p.remaining = p.total;
    p.angle = qutils::randomFloat(0.f, 360.f);
    system.addParticle(p);
  }
  system.setTimeScale(1.f);
  for (auto _ : state) {
    system.update(cFrame);
    benchmark::DoNotOptimize(&system.vertices());
  }
  state.SetItemsProcessed(state.iterations() * cParticles);
}
BENCHMARK(BM_SparksUpdateAndRebuild)->Unit(benchmark::kMicrosecond);

void BM_TrailUpdateAndRebuild(benchmark::State& state) {
  pod::TrailParticleSystem system(atlas(), sf::Color::Blue, sf::Color::Red, cParticles);
  for (int i = 0; i < cParticles; ++i)
    system.addPoint({static_cast<float>(i), static_cast<float>(i % 7)}, i & 1);
  system.setSegmentStride(4);
  system.setTimeScale(0.f); // keep every point alive
  for (auto _ : state) {
    system.update(cFrame);
    benchmark::DoNotOptimize(&system.vertices());
  }
  state.SetItemsProcessed(state.iterations() * cParticles);
}
BENCHMARK(BM_TrailUpdateAndRebuild)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY")) {
    std::printf("bench_particles: textures need a display; run it under xvfb-run\n");
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
