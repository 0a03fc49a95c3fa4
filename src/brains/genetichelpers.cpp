#include "brains/genetichelpers.h"

#include "brains/steering.h"
#include "race/physics.h"
#include "race/racerules.h"

#include <qutils/assert.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace pod {

bool plannerIsAhead(const Track& track, const PodState& p1, const PodState& p2) {
  if (p1.checkpointsCleared != p2.checkpointsCleared)
    return p1.checkpointsCleared > p2.checkpointsCleared;
  Q_ASSERT(p1.nextCheckpoint == p2.nextCheckpoint);
  const Vec2& c = nextCheckpointPosition(track, p1);
  return qutils::squaredDistance(c, p2.position) > qutils::squaredDistance(c, p1.position);
}

Influence simpleRunnerRule(const Track& track, const PodState& pod) {
  Influence influence;
  const auto count = static_cast<std::int32_t>(track.checkpoints.size());
  const Checkpoint& c = track.checkpoints[static_cast<std::size_t>(pod.nextCheckpoint)];
  if (willReachCheckpoint(pod, c, 4.f)) {
    const auto after = static_cast<std::size_t>(checkpointAfterNext(pod, count));
    influence.rotation = angleTo(pod, track.checkpoints[after].position);
    PodState copy = pod;
    Influence full;
    full.rotation = influence.rotation;
    full.thrust = 200.f;
    Physics::applyInfluence(copy, full, 1.f);
    Physics::soloStep(copy, track);
    influence.thrust = copy.checkpointsCleared != pod.checkpointsCleared ? 200.f : 0.f;
  } else {
    influence.rotation = angleTo(pod, c.position);
    const float limit = qutils::distance(pod.position, c.position) <= 5000.f ? 18.f : 120.f;
    influence.thrust = std::fabs(influence.rotation) < limit ? 200.f : 0.f;
  }
  influence.rotation = qutils::clampf(influence.rotation, -18.f, 18.f);
  return influence;
}

int turnsPerPlanningStep(float turnTime) {
  if (!(turnTime > 0.f))
    return 1;
  return static_cast<int>(std::max(1L, std::lround(1.f / turnTime)));
}

void StepTimer::restart() {
  stepsSinceRestart_ = 0;
  if (!synchronous())
    restart_ = Clock::now();
}

void StepTimer::beginStep() {
  if (!synchronous())
    stepStart_ = Clock::now();
}

float StepTimer::endStep(bool evolved) {
  if (evolved)
    ++stepsSinceRestart_;
  if (synchronous())
    return evolved ? static_cast<float>(virtualStep()) : 0.f;
  return std::chrono::duration<float>(Clock::now() - stepStart_).count();
}

bool StepTimer::inFirstTenth(float t0) const {
  if (synchronous())
    return static_cast<double>(stepsSinceRestart_) * virtualStep() < 0.1 * static_cast<double>(t0);
  return std::chrono::duration<float>(stepStart_ - restart_).count() < 0.1f * t0;
}

void lowerThreadPriority() {
#ifdef __linux__
  // Linux gives each thread its own nice value: the workers yield the cores
  // to the thread that draws, which must make its frames on time.
  const auto tid = static_cast<id_t>(syscall(SYS_gettid));
  errno = 0;
  const int current = getpriority(PRIO_PROCESS, tid);
  if (errno == 0)
    setpriority(PRIO_PROCESS, tid, std::min(current + kWorkerNiceIncrement, 19));
#endif
}

void runWorker(WorkerLink& link, WorkerBody& body) {
  lowerThreadPriority();
  body.begin();
  for (;;) {
    const int state = link.state.load(std::memory_order_acquire);
    if (state == kWorkerStop)
      return;
    if (state == kWorkerNewTurn || state == kWorkerEvolving) {
      body.iterate();
      continue;
    }
    std::unique_lock<std::mutex> guard(link.lock);
    link.wake.wait(guard, [&link] {
      const int s = link.state.load(std::memory_order_acquire);
      return s == kWorkerNewTurn || s == kWorkerEvolving || s == kWorkerStop;
    });
  }
}

void runSteps(WorkerBody& body, int evolutionSteps) {
  int made = 0;
  while (made < evolutionSteps)
    if (body.iterate())
      ++made;
}

void PlannerWorker::newTurn(Race& brainRace, const Race& race, float thinkTime,
                            const BodyFactory& makeBody, const char* startLine) {
  if (race.winner != -1) {
    // A decided race has nothing left to plan: the worker sleeps.
    if (thread_)
      signalWorker(link_, kWorkerIdle);
    return;
  }
  link_.generations.store(0);
  const bool running = thread_ || body_;
  {
    std::lock_guard<std::mutex> guard(link_.lock);
    link_.thinkTime.store(thinkTime);
    link_.state.store(kWorkerNewTurn, std::memory_order_release);
    brainRace = race;
    link_.generations.store(0);
    ++link_.notified;
  }
  if (!running) {
    ++started_;
    if (evalsPerTurn_ > 0) {
      body_ = makeBody();
      body_->begin();
    } else {
      if (startLine)
        std::cout << startLine << std::endl;
      thread_ = std::make_unique<std::thread>([this, makeBody] {
        std::unique_ptr<WorkerBody> body = makeBody();
        runWorker(link_, *body);
      });
    }
  } else {
    link_.wake.notify_all();
  }
  if (body_)
    runSteps(*body_, evalsPerTurn_);
}

void PlannerWorker::stop() {
  if (!thread_)
    return;
  signalWorker(link_, kWorkerStop);
  thread_->join();
  thread_.reset();
}

void signalWorker(WorkerLink& link, int state) {
  {
    std::lock_guard<std::mutex> guard(link.lock);
    link.state.store(state, std::memory_order_release);
  }
  link.wake.notify_all();
}

std::uint64_t workerSeed(std::uint64_t base, int team, int stream) {
  return qutils::deriveSeed(base, static_cast<std::uint64_t>(team) * 16u +
                                      static_cast<std::uint64_t>(stream));
}

std::uint64_t brainBaseSeed(std::uint64_t given) {
  return given != 0 ? given : static_cast<std::uint64_t>(std::rand());
}

} // namespace pod
