#include "engine/vectorrace.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace pod;
using namespace pod::learn;

// The pool's hand-over is what ThreadSanitizer watches here: races spread
// over three threads, whose shares move with their speed, with episodes
// ending and restarting inside the jobs, must play exactly as on one thread.
TEST(VectorRace, ThreeThreadsPlayExactlyAsOne) {
  RaceSettings settings;
  settings.tracks = {nullptr}; // random tracks from the episodes' seeds
  settings.thinkEvals = 50;
  settings.maxTurns = 40;
  validate(settings);
  const int n = 61;
  const auto play = [&](int threads) {
    VectorRace races(n, settings, 11, threads);
    const std::size_t dim = static_cast<std::size_t>(observationSize(settings));
    const std::size_t per = static_cast<std::size_t>(ownPodsOf(settings));
    std::vector<float> obs(n * dim), finals(n * dim), rewards(n);
    auto terminated = std::make_unique<bool[]>(n);
    auto truncated = std::make_unique<bool[]>(n);
    races.reset(5, obs.data());
    std::vector<double> commands;
    for (std::size_t k = 0; k < n * per; ++k)
      commands.insert(commands.end(), {3.0, 100.0, 0.0});
    std::vector<float> trail;
    int endings = 0;
    for (int step = 0; step < 100; ++step) {
      races.step(commands.data(), nullptr, obs.data(), rewards.data(), terminated.get(),
                 truncated.get(), finals.data());
      trail.insert(trail.end(), obs.begin(), obs.end());
      trail.insert(trail.end(), rewards.begin(), rewards.end());
      for (int i = 0; i < n; ++i)
        endings += terminated[i] || truncated[i];
    }
    EXPECT_GT(endings, n) << "every race should have restarted at least once";
    return trail;
  };
  EXPECT_EQ(play(3), play(1));
}
