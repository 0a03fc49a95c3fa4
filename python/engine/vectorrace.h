#pragma once

#include "learnrace.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pod::learn {

// Runs job(part) for part 0..k-1, part 0 on the caller's thread, the others
// on workers kept from call to call.
class WorkerPool {
public:
  explicit WorkerPool(int threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int size() const { return static_cast<int>(workers_.size()) + 1; }
  void run(const std::function<void(int)>& job);
  // body(i) for every i in [0, n), each thread on a contiguous share of its
  // own, the same from pass to pass: a race's memory stays in the cache of
  // the core that steps it. With adapt, the shares then follow how fast each
  // thread got through this pass, and a thread done early takes items from
  // the back of a share that is far behind: the cores of a shared machine
  // are not equally fast, nor always running, and an even split waits for
  // the slowest.
  void forEach(std::size_t n, const std::function<void(std::size_t)>& body, bool adapt);

private:
  void work(int part);
  void adaptShares(std::size_t n);

  // One thread's pass: what is left of its share, as front << 32 | back so
  // that one compare-and-swap settles who takes what; then how many items
  // it did and when it ran out of them.
  struct alignas(64) Share {
    std::atomic<std::uint64_t> range{0};
    std::size_t done = 0;
    double seconds = 0.0;
  };
  std::vector<std::size_t> bounds_; // share p is [bounds_[p], bounds_[p + 1])
  std::vector<double> rates_;       // items per second of each thread, smoothed
  std::unique_ptr<Share[]> shares_;

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  const std::function<void(int)>* job_ = nullptr;
  // Written under mutex_, read also without it while spinning.
  std::atomic<std::uint64_t> generation_{0};
  std::atomic<int> pending_{0};
  std::atomic<bool> stop_{false};
};

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
