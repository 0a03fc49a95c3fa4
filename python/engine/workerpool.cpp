#include "workerpool.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

namespace pod::learn {

namespace {

// Steps come back to back, a few hundred microseconds each: a thread that
// looks for its next job (or its last helper) briefly before sleeping saves
// a wake-up, which costs about as much on a virtual machine. It looks with
// the processor's pause, as a system call costs microseconds there too, and
// gives way to other threads only now and then.
inline void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

template <class Done>
void spinBriefly(Done done) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(50);
  for (unsigned k = 1; !done(); ++k) {
    if (k % 64 != 0) {
      cpuRelax();
      continue;
    }
    if (std::chrono::steady_clock::now() >= until)
      return;
    std::this_thread::yield();
  }
}

} // namespace

WorkerPool::WorkerPool(int threads)
    : shares_(std::make_unique<Share[]>(static_cast<std::size_t>(std::max(threads, 1)))) {
  for (int part = 1; part < threads; ++part)
    workers_.emplace_back([this, part] { work(part); });
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  for (auto& w : workers_)
    w.join();
}

void WorkerPool::work(int part) {
  std::uint64_t seen = 0;
  for (;;) {
    const std::function<void(int)>* job = nullptr;
    spinBriefly([&] { return stop_ || generation_ != seen; });
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
      if (stop_)
        return;
      seen = generation_;
      job = job_;
    }
    (*job)(part);
    if (--pending_ == 0) {
      // Under the lock, so that a caller about to sleep cannot miss it.
      std::lock_guard<std::mutex> lock(mutex_);
      idle_.notify_one();
    }
  }
}

void WorkerPool::run(const std::function<void(int)>& job) {
  if (workers_.empty()) {
    job(0);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = &job;
    pending_ = static_cast<int>(workers_.size());
    ++generation_;
  }
  wake_.notify_all();
  job(0);
  spinBriefly([&] { return pending_ == 0; });
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [&] { return pending_ == 0; });
}

namespace {

// Takes up to `count` items from the front or the back of what is left of
// a share, leaving at least `keep` there; false when there is nothing to take.
bool claim(std::atomic<std::uint64_t>& range, bool front, std::uint64_t count, std::uint64_t keep,
           std::uint64_t& begin, std::uint64_t& end) {
  std::uint64_t now = range.load(std::memory_order_relaxed);
  for (;;) {
    const std::uint64_t lo = now >> 32, hi = now & 0xffffffffu;
    if (lo >= hi || hi - lo <= keep)
      return false;
    const std::uint64_t take = std::min(count, hi - lo - keep);
    begin = front ? lo : hi - take;
    end = begin + take;
    const std::uint64_t rest = front ? (end << 32 | hi) : (lo << 32 | begin);
    if (range.compare_exchange_weak(now, rest, std::memory_order_relaxed))
      return true;
  }
}

} // namespace

void WorkerPool::forEach(std::size_t n, const std::function<void(std::size_t)>& body,
                         bool adapt) {
  // Owners take a few items at a time; others only from a share with more
  // than a few microseconds of work left, so that the usual jitter between
  // threads does not move races between cores.
  constexpr std::uint64_t kOwnChunk = 8, kStealChunk = 4, kKeep = 16;
  const std::size_t parts = static_cast<std::size_t>(size());
  if (n > 0xffffffffu)
    throw std::length_error("too many items for one pass");
  if (bounds_.size() != parts + 1 || bounds_.back() != n) {
    bounds_.resize(parts + 1);
    for (std::size_t p = 0; p <= parts; ++p)
      bounds_[p] = n * p / parts;
    rates_.assign(parts, 0.0);
  }
  for (std::size_t p = 0; p < parts; ++p)
    shares_[p].range.store(static_cast<std::uint64_t>(bounds_[p]) << 32 | bounds_[p + 1],
                           std::memory_order_relaxed);
  const auto start = std::chrono::steady_clock::now();
  run([&](int part) {
    const std::size_t p = static_cast<std::size_t>(part);
    std::size_t done = 0;
    std::uint64_t begin, end;
    for (std::size_t k = 0; k < (adapt ? parts : 1); ++k) {
      Share& share = shares_[(p + k) % parts];
      const bool own = k == 0;
      while (claim(share.range, own, own ? kOwnChunk : kStealChunk, own ? 0 : kKeep, begin, end)) {
        for (std::uint64_t i = begin; i < end; ++i)
          body(static_cast<std::size_t>(i));
        done += static_cast<std::size_t>(end - begin);
      }
    }
    shares_[p].done = done;
    shares_[p].seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  });
  // Too few items to be worth measuring.
  if (adapt && parts > 1 && n >= 16 * parts)
    adaptShares(n);
}

void WorkerPool::adaptShares(std::size_t n) {
  // Shares move only past this many items, so that timing noise does not
  // send races back and forth between cores.
  constexpr double kMargin = 8.0;
  const std::size_t parts = rates_.size();
  double total = 0.0;
  for (std::size_t p = 0; p < parts; ++p) {
    // From the start of the pass: a worker slow to wake counts as slow.
    const double items = static_cast<double>(std::max<std::size_t>(shares_[p].done, 1));
    const double rate = items / std::max(shares_[p].seconds, 1e-9);
    rates_[p] = rates_[p] == 0.0 ? rate : 0.8 * rates_[p] + 0.2 * rate;
    total += rates_[p];
  }
  // Every share keeps a quarter of an even one, to go on measuring it.
  const double least = static_cast<double>(n) / static_cast<double>(4 * parts);
  double before = 0.0;
  for (std::size_t p = 1; p < parts; ++p) {
    before += rates_[p - 1];
    double want = static_cast<double>(n) * before / total;
    want = std::clamp(want, static_cast<double>(bounds_[p - 1]) + least,
                      static_cast<double>(n) - least * static_cast<double>(parts - p));
    if (std::abs(want - static_cast<double>(bounds_[p])) >= kMargin)
      bounds_[p] = static_cast<std::size_t>(std::llround(std::max(want, 0.0)));
    bounds_[p] = std::clamp(bounds_[p], bounds_[p - 1], n);
  }
}

} // namespace pod::learn
