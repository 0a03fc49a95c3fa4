#include "vectorrace.h"

#include <qutils/random.h>

#include <chrono>
#include <exception>

namespace pod::learn {

namespace {

// Steps come back to back, a few hundred microseconds each: a thread that
// looks for its next job (or its last helper) briefly before sleeping saves
// a wake-up, which costs about as much on a virtual machine.
template <class Done>
void spinBriefly(Done done) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(50);
  while (!done() && std::chrono::steady_clock::now() < until)
    std::this_thread::yield();
}

} // namespace

WorkerPool::WorkerPool(int threads) {
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

VectorRace::VectorRace(int n, const RaceSettings& settings, std::uint64_t seed, int threads)
    : settings_(settings), pool_(threads) {
  if (n < 1)
    throw BadSetting("n must be at least 1 (got " + std::to_string(n) + ")");
  if (settings_.opponent == Opponent::Bot)
    throw BadSetting("a bot opponent races one Race at a time, not in a VectorRace");
  validate(settings_);
  settings_.record = false;
  races_.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    races_.push_back(std::make_unique<LearnRace>(settings_));
  streams_.resize(races_.size());
  episodes_.resize(races_.size());
  endings_.resize(races_.size());
  errors_.resize(races_.size());
  reset(seed, nullptr);
}

void VectorRace::restart(std::size_t i) {
  // As Race: the first episode plays the seed itself, the next ones seeds
  // derived from it.
  const std::uint64_t k = episodes_[i]++;
  races_[i]->reset(k == 0 ? streams_[i] : qutils::deriveSeed(streams_[i], k));
}

void VectorRace::reset(std::uint64_t seed, float* observations) {
  std::vector<std::uint64_t> streams(races_.size());
  for (std::size_t i = 0; i < streams.size(); ++i)
    streams[i] = qutils::deriveSeed(seed, i);
  reset(streams, observations);
}

void VectorRace::reset(const std::vector<std::uint64_t>& streams, float* observations) {
  const std::size_t n = races_.size();
  if (streams.size() != n)
    throw BadSetting("seeds must hold " + std::to_string(n) + " seeds (got " +
                     std::to_string(streams.size()) + ")");
  const std::size_t dim = static_cast<std::size_t>(observationSize(settings_));
  for (std::size_t i = 0; i < n; ++i) {
    streams_[i] = streams[i];
    episodes_[i] = 0;
    endings_[i] = Ending{};
    restart(i);
    if (observations)
      races_[i]->observation(observations + i * dim);
  }
}

void VectorRace::step(const Influence* commands, const Influence* others, float* observations,
                      float* rewards, bool* terminated, bool* truncated, float* finals) {
  const std::size_t n = races_.size();
  const std::size_t dim = static_cast<std::size_t>(observationSize(settings_));
  const std::size_t per = static_cast<std::size_t>(ownPodsOf(settings_));
  const std::size_t parts = static_cast<std::size_t>(pool_.size());
  const std::function<void(int)> job = [&](int part) {
    const std::size_t begin = n * static_cast<std::size_t>(part) / parts;
    const std::size_t end = n * static_cast<std::size_t>(part + 1) / parts;
    for (std::size_t i = begin; i < end; ++i) {
      try {
        LearnRace& race = *races_[i];
        rewards[i] = race.step(commands + i * per, others ? others + i * per : nullptr);
        terminated[i] = race.terminated();
        truncated[i] = race.truncated();
        Ending& e = endings_[i];
        e.ended = race.done();
        if (e.ended) {
          race.observation(finals + i * dim);
          e.truncated = race.truncated();
          e.winner = race.winner();
          e.byTimeout = race.byTimeout();
          e.turns = race.turn();
          e.episodeSeed = race.episodeSeed();
          e.track = race.track().name;
          restart(i);
        }
        race.observation(observations + i * dim);
      } catch (const std::exception& error) {
        errors_[i] = error.what();
      }
    }
  };
  pool_.run(job);
  for (std::size_t i = 0; i < n; ++i)
    if (!errors_[i].empty()) {
      const std::string message = "race " + std::to_string(i) + ": " + errors_[i];
      for (auto& e : errors_)
        e.clear();
      throw BotFailed(message);
    }
}

} // namespace pod::learn
