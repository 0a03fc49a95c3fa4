#include "vectorrace.h"

#include <qutils/random.h>

#include <algorithm>
#include <exception>

namespace pod::learn {

VectorRace::VectorRace(int n, const RaceSettings& settings, std::uint64_t seed, int threads)
    : settings_(settings), pool_(threads) {
  if (n < 1)
    throw BadSetting("n must be at least 1 (got " + std::to_string(n) + ")");
  if (settings_.opponent == Opponent::Bot)
    throw BadSetting("a bot opponent races one Race at a time, not in a VectorRace");
  validate(settings_);
  settings_.record = false;
  const std::size_t count = static_cast<std::size_t>(n);
  races_.resize(count);
  streams_.resize(count);
  episodes_.resize(count);
  endings_.resize(count);
  errors_.resize(count);
  // Each race is made by the thread that will step it, so that what it
  // allocates sits in that thread's heap: two threads writing the small
  // buffers of neighbouring races every turn would share cache lines.
  pool_.forEach(
      count,
      [&](std::size_t i) {
        try {
          races_[i] = std::make_unique<LearnRace>(settings_);
        } catch (...) {
          errors_[i] = std::current_exception();
        }
      },
      false);
  throwFirstError();
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
  pool_.forEach(
      n,
      [&](std::size_t i) {
        streams_[i] = streams[i];
        episodes_[i] = 0;
        endings_[i] = Ending{};
        try {
          restart(i);
          if (observations)
            races_[i]->observation(observations + i * dim);
        } catch (...) {
          errors_[i] = std::current_exception();
        }
      },
      false);
  throwFirstError();
}

void VectorRace::throwFirstError() {
  for (auto& e : errors_)
    if (e) {
      const std::exception_ptr first = e;
      std::fill(errors_.begin(), errors_.end(), nullptr);
      std::rethrow_exception(first);
    }
}

void VectorRace::step(const double* actions, const double* others, float* observations,
                      float* rewards, bool* terminated, bool* truncated, float* finals) {
  const std::size_t dim = static_cast<std::size_t>(observationSize(settings_));
  const std::size_t per = static_cast<std::size_t>(ownPodsOf(settings_));
  const auto stepOne = [&](std::size_t i) {
    try {
      // One team has at most two pods.
      Influence own[2], other[2];
      for (std::size_t p = 0; p < per; ++p) {
        const double* a = actions + (i * per + p) * 3;
        own[p] = commandOf(a[0], a[1], a[2]);
        if (others) {
          const double* b = others + (i * per + p) * 3;
          other[p] = commandOf(b[0], b[1], b[2]);
        }
      }
      LearnRace& race = *races_[i];
      rewards[i] = race.step(own, others ? other : nullptr);
      terminated[i] = race.terminated();
      truncated[i] = race.truncated();
      if (race.done()) {
        Ending& e = endings_[i];
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
    } catch (...) {
      errors_[i] = std::current_exception();
    }
  };
  pool_.forEach(races_.size(), stepOne, true);
  throwFirstError();
}

} // namespace pod::learn
