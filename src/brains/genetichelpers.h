#pragma once

#include "brains/plannerstats.h"
#include "race/race.h"
#include "race/track.h"

#include <qutils/random.h>

#include <qutils/vec2.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Routines shared by the planners and by the threaded brains that run them.

namespace pod {

// ---- Random draws of the planners (15-bit r in [0, 32767]) ----

// r / 32767 * (hi - lo) + lo: hi itself can be drawn.
inline float randomFloat(qutils::Random& rng, float lo, float hi) {
  return static_cast<float>(rng.next15()) / 32767.f * (hi - lo) + lo;
}

// lo + r % (hi - lo + 1), both ends included.
inline int randomInt(qutils::Random& rng, int lo, int hi) {
  return lo + rng.next15() % (hi - lo + 1);
}

// ---- Race helpers ----

// The race order of the steering heuristics on squared distances; equal
// checkpoint counts imply the same next checkpoint.
bool plannerIsAhead(const Track& track, const PodState& p1, const PodState& p2);

inline const Vec2& nextCheckpointPosition(const Track& track, const PodState& pod) {
  return track.checkpoints[static_cast<std::size_t>(pod.nextCheckpoint)].position;
}

// Aims at the checkpoint centre, no velocity compensation, no shield.
Influence simpleRunnerRule(const Track& track, const PodState& pod);

// A replay that has a winner scores 1e6 for the team, -1e6 against it.
inline bool decidedScore(const Race& race, int team, float& score) {
  if (race.winner == -1)
    return false;
  score = race.winner == team ? 1000000.f : -1000000.f;
  return true;
}

// (a - b) * 50000 on 32-bit integers, then as a float.
inline float checkpointTerm(std::int32_t a, std::int32_t b) {
  return static_cast<float>((a - b) * 50000);
}

// ---- Workers ----

enum WorkerState : int { kWorkerIdle = 0, kWorkerNewTurn = 1, kWorkerEvolving = 2, kWorkerStop = 3 };

// What a brain shares with one worker. The lock guards the state writes,
// thinkTime, the brain's race copy, the published commands and the two turn
// stamps; the worker reads the state word and bumps the counters without it.
struct WorkerLink {
  std::mutex lock;
  std::condition_variable wake;
  std::atomic<int> state{kWorkerIdle};
  std::atomic<std::uint32_t> generations{0};
  std::atomic<std::uint64_t> totalSteps{0};
  std::atomic<float> thinkTime{0.f};
  // Notifications made, and the one whose race the published plan starts from.
  std::uint64_t notified = 0;
  std::uint64_t planned = 0;
};

// Planning steps of the best plan handed over with its first commands: a
// worker that is late still has its plan played at the step the race has
// reached, not its first command over and over.
constexpr int kHandoverSteps = 3;
using PlanSteps = std::array<Influence, kHandoverSteps>;

// The step of a handed-over plan for a turn `age` turns after the plan's
// start; a planning step lasts turnsPerStep turns.
inline std::size_t handoverStep(std::uint64_t age, int turnsPerStep) {
  const std::uint64_t step = age / static_cast<std::uint64_t>(std::max(1, turnsPerStep));
  return static_cast<std::size_t>(std::min<std::uint64_t>(step, kHandoverSteps - 1));
}

// Turns in one whole-second planning step for a turn of turnTime seconds.
int turnsPerPlanningStep(float turnTime);

// Brain side, under the link's lock: the step of the published plan for the
// turn about to be played, recorded with the thinking behind it.
inline std::size_t takeStep(const WorkerLink& link, int turnsPerStep, ThinkRecord& record) {
  const std::uint64_t age = link.notified - link.planned;
  record.record(link.generations.load(std::memory_order_relaxed), age);
  return handoverStep(age, turnsPerStep);
}

// Times the evolution steps: on the monotonic clock when threaded. When
// synchronous (K steps per turn) a virtual clock stands in: every evolution
// step advances it by turnSeconds / K, so K steps span one turn of real time
// at the game speed the budget stands for.
class StepTimer {
public:
  StepTimer(int evalsPerTurn, float turnSeconds)
      : evalsPerTurn_(evalsPerTurn), turnSeconds_(turnSeconds) {}

  bool synchronous() const { return evalsPerTurn_ > 0; }
  void restart();
  void beginStep();
  // Duration of the step just made; evolved says whether it was an evolution step.
  float endStep(bool evolved);
  // Whether the time since the restart, before this step, is under a tenth of t0.
  bool inFirstTenth(float t0) const;

private:
  using Clock = std::chrono::steady_clock;
  double virtualStep() const { return static_cast<double>(turnSeconds_) / evalsPerTurn_; }
  int evalsPerTurn_;
  float turnSeconds_;
  Clock::time_point restart_{};
  Clock::time_point stepStart_{};
  std::int64_t stepsSinceRestart_ = 0;
};

// One worker's loop body: the thread runs it flat out, the synchronous mode
// calls it until K evolution steps are made.
class WorkerBody {
public:
  virtual ~WorkerBody() = default;
  // Builds the planner(s) and makes the first preparation.
  virtual void begin() = 0;
  // One pass for state 1 or 2; true when it made an evolution step.
  virtual bool iterate() = 0;
};

// How much nicer than the thread that starts them the worker threads run. On
// an idle machine any value leaves the frames on time: the workers think in
// what the drawing leaves. On a busy one, at +19 they got about 1 % of a core
// and played most turns on a plan made turns earlier; at +5 they keep a share
// of the program's time, and the frame rate on an idle machine stays above
// 57 per second with four planners.
constexpr int kWorkerNiceIncrement = 5;

// Lowers the calling thread's scheduling priority by kWorkerNiceIncrement
// (Linux; elsewhere nothing).
void lowerThreadPriority();

// The thread function: passes while there is work, sleeps on the condition
// variable otherwise, returns on the stop word.
void runWorker(WorkerLink& link, WorkerBody& body);

// Synchronous mode: passes until the body has made the given number of
// evolution steps.
void runSteps(WorkerBody& body, int evolutionSteps);

// The one worker of a grouped or time-attack brain: a thread that evolves
// flat out (real time), or the same loop body run K evolution steps per turn
// on the caller's thread (synchronous). Stops and joins when destroyed.
class PlannerWorker {
public:
  using BodyFactory = std::function<std::unique_ptr<WorkerBody>()>;

  PlannerWorker(int evalsPerTurn, float turnSeconds)
      : evalsPerTurn_(evalsPerTurn), turnSeconds_(turnSeconds) {}
  ~PlannerWorker() { stop(); }
  PlannerWorker(const PlannerWorker&) = delete;
  PlannerWorker& operator=(const PlannerWorker&) = delete;

  // The new-turn notification: under the lock, the think time, state 1 and
  // the brain's race copy; the first one starts the worker (printing
  // startLine when a thread starts), later ones wake it. A race with a
  // winner puts the worker to sleep instead.
  void newTurn(Race& brainRace, const Race& race, float thinkTime, const BodyFactory& makeBody,
               const char* startLine = nullptr);
  // Sets the stop word, wakes the thread and joins it.
  void stop();

  WorkerLink& link() { return link_; }
  const WorkerLink& link() const { return link_; }
  int evalsPerTurn() const { return evalsPerTurn_; }
  float turnSeconds() const { return turnSeconds_; }
  int started() const { return started_; }

private:
  WorkerLink link_;
  int evalsPerTurn_;
  float turnSeconds_;
  std::unique_ptr<std::thread> thread_;
  std::unique_ptr<WorkerBody> body_; // synchronous mode only
  int started_ = 0;
};

// Worker side, on seeing state 1: under the lock, takes the brain's race copy
// and moves the state to 2 in one go, so a notification that arrives while
// the planner prepares is not lost, and a stop word is never overwritten.
// Returns false when the state is no longer 1. extra runs under the lock too.
// taken receives the notification's stamp.
template <class Extra>
bool takeNewTurn(WorkerLink& link, const Race& brainRace, Race& copy, std::uint64_t& taken,
                 Extra&& extra) {
  std::lock_guard<std::mutex> guard(link.lock);
  if (link.state.load(std::memory_order_relaxed) != kWorkerNewTurn)
    return false;
  copy = brainRace;
  taken = link.notified;
  extra();
  link.state.store(kWorkerEvolving, std::memory_order_release);
  return true;
}

// The amplitude of the schedule: clamp((T - R - T) / (0 - T), 0, 1), i.e. R / T.
inline float scheduledAmplitude(float thinkTime, float remaining) {
  return qutils::clampf((thinkTime - remaining - thinkTime) / (0.f - thinkTime), 0.f, 1.f);
}

// The loop of one planner: state 1 re-prepares it from the brain's race,
// state 2 evolves it and publishes its commands under the lock. The amplitude
// follows the remaining-time schedule, or is fixed when fixedAmplitude >= 0.
template <class Planner>
class ScheduledBody final : public WorkerBody {
public:
  using Factory = std::function<std::unique_ptr<Planner>()>;
  using Publish = std::function<void(const Planner&)>;

  ScheduledBody(WorkerLink& link, const Race& brainRace, int evalsPerTurn, float turnSeconds,
                float fixedAmplitude, bool resetBudgetEachTurn, Factory factory, Publish publish)
      : link_(link), brainRace_(brainRace), timer_(evalsPerTurn, turnSeconds), fixed_(fixedAmplitude),
        resetBudget_(resetBudgetEachTurn), factory_(std::move(factory)),
        publish_(std::move(publish)) {}

  void begin() override {
    planner_ = factory_();
    {
      std::lock_guard<std::mutex> guard(link_.lock);
      race_ = brainRace_;
      taken_ = link_.notified;
    }
    planner_->prepare(race_);
    publish();
    remaining_ = link_.thinkTime.load();
    timer_.restart();
  }

  bool iterate() override {
    const int state = link_.state.load(std::memory_order_acquire);
    if (state == kWorkerNewTurn) {
      if (takeNewTurn(link_, brainRace_, race_, taken_, [this] {
            if (resetBudget_)
              remaining_ = link_.thinkTime.load();
          })) {
        planner_->prepare(race_);
        // The prepared population already holds the heuristic plan for the
        // new turn: better than the last turn's plan.
        publish();
      }
      return false;
    }
    if (state != kWorkerEvolving)
      return false;
    const float thinkTime = link_.thinkTime.load();
    if (fixed_ >= 0.f) {
      planner_->evolve(fixed_);
    } else {
      timer_.beginStep();
      planner_->evolve(scheduledAmplitude(thinkTime, remaining_));
      remaining_ = std::max(0.1f, remaining_ - timer_.endStep(true));
    }
    link_.generations.fetch_add(1, std::memory_order_relaxed);
    link_.totalSteps.fetch_add(1, std::memory_order_relaxed);
    publish();
    return true;
  }

  const Planner* planner() const { return planner_.get(); }

private:
  void publish() {
    std::lock_guard<std::mutex> guard(link_.lock);
    publish_(*planner_);
    link_.planned = taken_;
  }

  WorkerLink& link_;
  const Race& brainRace_;
  Race race_;
  StepTimer timer_;
  float fixed_;
  bool resetBudget_;
  float remaining_ = 0.f;
  std::uint64_t taken_ = 0;
  Factory factory_;
  Publish publish_;
  std::unique_ptr<Planner> planner_;
};

// Brain side: sets a state word under the lock and wakes the worker.
void signalWorker(WorkerLink& link, int state);

// Seed of one worker's generator from a brain's base seed.
std::uint64_t workerSeed(std::uint64_t base, int team, int stream);

// Base seed of a brain: the given one, or one draw of the standard generator
// (taken on the constructing thread) when none is given.
std::uint64_t brainBaseSeed(std::uint64_t given);

} // namespace pod
