#pragma once

#include "learnrace.h"
#include "workerpool.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace pod::learn {

// How a race ended, before its reset.
struct Ending {
  bool truncated = false;
  int winner = -1;
  bool byTimeout = false;
  int turns = 0;
  std::uint64_t episodeSeed = 0;
  std::string track;
};

// n races stepped together; a race that ends starts its next episode at once.
// Race i's episodes take the seeds derived from (seed, i), one after the
// other, so results do not depend on how the races are spread over threads.
class VectorRace {
public:
  VectorRace(int n, const RaceSettings& settings, std::uint64_t seed, int threads);

  int size() const { return static_cast<int>(races_.size()); }
  int threads() const { return pool_.size(); }
  const LearnRace& race(int i) const { return *races_[static_cast<std::size_t>(i)]; }
  const RaceSettings& settings() const { return settings_; }

  void reset(std::uint64_t seed, float* observations);
  // The same with race i's episodes drawn from streams[i] (n of them): its
  // first episode is the one Race plays for that seed.
  void reset(const std::vector<std::uint64_t>& streams, float* observations);
  // actions: n x ownPods x (rotation, thrust, shield), all finite; others
  // the same for self-play (else null). Writes n observations (of the next
  // episode where one ended), rewards and flags; finals gets n observations,
  // valid where ended.
  void step(const double* actions, const double* others, float* observations, float* rewards,
            bool* terminated, bool* truncated, float* finals);
  // How each race last ended: for the races whose flags the last step set,
  // how they ended in it. Written only then, so that the threads do not
  // share cache lines with a reader of the others.
  const std::vector<Ending>& endings() const { return endings_; }

private:
  void restart(std::size_t i);
  void throwFirstError();

  RaceSettings settings_;
  std::vector<std::unique_ptr<LearnRace>> races_;
  std::vector<std::uint64_t> streams_;
  std::vector<std::uint64_t> episodes_;
  std::vector<Ending> endings_;
  std::vector<std::exception_ptr> errors_; // of the last pass, by race
  WorkerPool pool_;
};

} // namespace pod::learn
