#include "simulation/effectrecords.h"

#include "simulation/interpolation.h"

#include <algorithm>

namespace pod {

void EffectRecords::clear() {
  flashes_.clear();
  sparks_.clear();
  impacts_.clear();
}

void EffectRecords::addEvents(const std::vector<PhysicsEvent>& events, const Race& race,
                              float turnDuration, float interpolation, float now) {
  for (const PhysicsEvent& e : events) {
    // The interpolated pods reach the event once the turn's real duration
    // has run from the interpolation to the event's time.
    const float ahead = e.time - interpolation;
    const float start = now + turnDuration * ahead;
    if (e.type == PhysicsEvent::CheckpointPassed) {
      const auto pod = static_cast<std::size_t>(e.firstId);
      const int team = pod < race.pods.size() ? race.pods[pod].team : 0;
      flashes_.push_back({start, e.secondId, team});
    } else {
      sparks_.push_back({start, toDrawing(e.position), e.normal.rotated(90.f), e.strength});
      // A zero normal has no angle; such a hit still shows, facing +x.
      float angle = e.normal.squaredLength() > 0.f ? e.normal.angle() : 0.f;
      // Impacts age by a tenth of a turn per turn drawn: they start at the
      // contact.
      const float age = -cImpactAgePerTurn * ahead;
      impacts_.push_back({e.firstId, angle, e.strength, age});
      angle += 180.f;
      if (angle > 360.f)
        angle -= 360.f;
      impacts_.push_back({e.secondId, angle, e.strength, age});
    }
  }
}

void EffectRecords::age(float frameTime, float frameFraction, float now,
                        std::vector<SparkBurst>& dueSparks) {
  (void)frameTime;
  std::size_t expired = 0;
  while (expired < flashes_.size() && now > flashes_[expired].start + cFlashLife)
    ++expired;
  flashes_.erase(flashes_.begin(), flashes_.begin() + static_cast<std::ptrdiff_t>(expired));
  // Bursts are not sorted by start (two events of one step may come in any
  // order), so every due one leaves, wherever it is; the others keep their
  // order.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < sparks_.size(); ++i) {
    if (now > sparks_[i].start)
      dueSparks.push_back(sparks_[i]);
    else
      sparks_[kept++] = sparks_[i];
  }
  sparks_.resize(kept);
  for (ShieldImpact& i : impacts_)
    i.age += frameFraction * cImpactAgePerTurn;
  impacts_.erase(std::remove_if(impacts_.begin(), impacts_.end(),
                                [](const ShieldImpact& i) { return i.age > cImpactLife; }),
                 impacts_.end());
}

const CheckpointFlash* EffectRecords::newestFlash(int checkpoint, int team, float now) const {
  for (auto it = flashes_.rbegin(); it != flashes_.rend(); ++it) {
    if (it->checkpoint == checkpoint && (team < 0 || it->team == team) && it->start <= now)
      return &*it;
  }
  return nullptr;
}

} // namespace pod
