#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace pod::learn {

// Threads kept from call to call, the caller's among them, sharing out the
// items of a pass.
class WorkerPool {
public:
  explicit WorkerPool(int threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int size() const { return static_cast<int>(workers_.size()) + 1; }
  // body(i) for every i in [0, n), each thread on a contiguous share of its
  // own, the same from pass to pass: a race's memory stays in the cache of
  // the core that steps it. With adapt, the shares then follow how fast each
  // thread got through this pass, and a thread done early takes items from
  // the back of a share that is far behind: the cores of a shared machine
  // are not equally fast, nor always running, and an even split waits for
  // the slowest.
  void forEach(std::size_t n, const std::function<void(std::size_t)>& body, bool adapt);

private:
  // job(part) for part 0..size()-1, part 0 on the caller's thread.
  void run(const std::function<void(int)>& job);
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

} // namespace pod::learn
