#include "race/physics.h"

#include "race/collisions.h"
#include "race/racerules.h"

#include <qutils/assert.h>

#include <cmath>

namespace pod {

void Physics::init(bool timeAttack, int nbPodsPerTeam, int nbTeams, const Track* track) {
  Q_ASSERT(track);
  if (timeAttack)
    Q_ASSERT(nbPodsPerTeam == 1);
  Q_ASSERT(track->checkpoints.size() >= 2);
  track_ = track;

  Race& race = currentState_;
  race.pods.clear();
  race.nbPodsPerTeam = nbPodsPerTeam;
  race.timeAttack = timeAttack;
  race.winner = -1;
  race.byTimeout = false;

  const Vec2 start = track->checkpoints[0].position;
  Vec2 d = (track->checkpoints[1].position - start).normalised();
  // Track readers refuse what would get here (trackProblem); a track built in
  // memory still gets a grid, facing +x, rather than NaN positions.
  if (!std::isfinite(d.x) || !std::isfinite(d.y) || (d.x == 0.f && d.y == 0.f))
    d = Vec2(1.f, 0.f);
  const Vec2 side = d.rotated(90.f);
  const float heading = d.angle();

  if (timeAttack) {
    for (int t = 0; t < nbTeams; ++t) {
      PodState pod;
      pod.id = static_cast<std::uint32_t>(t);
      pod.team = t;
      pod.position = start;
      pod.angle = heading;
      race.pods.push_back(pod);
    }
  } else {
    const int count = nbPodsPerTeam * nbPodsPerTeam;
    for (int i = 0; i < count; ++i) {
      PodState pod;
      pod.id = static_cast<std::uint32_t>(i);
      pod.team = i / 2;
      const float offset = 500.f + 1000.f * static_cast<float>(pod.team);
      pod.position = i % 2 == 0 ? start + side * offset : start - side * offset;
      pod.angle = heading;
      race.pods.push_back(pod);
    }
  }
  previousState_ = currentState_;
}

void Physics::step(const std::vector<Influence>& inf, float dt,
                   std::vector<PhysicsEvent>& events) {
  Q_ASSERT(inf.size() == currentState_.pods.size());
  Q_ASSERT(track_);
  previousState_ = currentState_;
  auto& pods = currentState_.pods;
  for (std::size_t i = 0; i < pods.size(); ++i)
    applyInfluence(pods[i], inf[i], dt);

  if (currentState_.timeAttack) {
    for (auto& pod : pods)
      moveSolo(pod, *track_, dt, &events);
    for (auto& pod : pods)
      frictionAndCooldown(pod, dt);
    applyTimeAttackWinnerRule(currentState_, *track_);
  } else {
    moveWithCollisions(currentState_, *track_, dt, &events);
    for (auto& pod : pods)
      frictionAndCooldown(pod, dt);
    applyRaceWinnerRule(currentState_, *track_);
  }
}

void Physics::setStates(const Race& previous, const Race& current) {
  previousState_ = previous;
  currentState_ = current;
}

const Track& Physics::track() const {
  Q_ASSERT(track_);
  return *track_;
}

// The preconditions keep their int-against-size comparison.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-compare"

int Physics::podRank(int podId) const {
  Q_ASSERT((podId >= 0) && (podId < currentState_.pods.size()));
  return pod::podRank(currentState_, *track_, static_cast<std::uint32_t>(podId));
}

bool Physics::isPodTimedOut(int podId) const {
  Q_ASSERT(podId >= 0 && podId < currentState_.pods.size());
  return isTimedOut(currentState_.pods[static_cast<std::size_t>(podId)]);
}

#pragma GCC diagnostic pop

void Physics::referenceStep(Race& race, const Track& track) {
  moveWithCollisions(race, track, 1.f, nullptr);
  for (auto& pod : race.pods)
    frictionAndCooldown(pod, 1.f);
  applyRaceWinnerRule(race, track);
}

void Physics::soloStepAll(Race& race, const Track& track) {
  for (auto& pod : race.pods)
    soloStep(pod, track, nullptr);
  applyTimeAttackWinnerRule(race, track);
}

} // namespace pod
