#pragma once

#include "race/physicsevent.h"
#include "race/race.h"

#include <vector>

namespace pod {

// A checkpoint flash lives this long on the drawing clock.
constexpr float cFlashLife = 2.5f;
// A shield impact is dropped once its age exceeds this.
constexpr float cImpactLife = 1.f;
// What a shield impact ages by while one turn is drawn.
constexpr float cImpactAgePerTurn = 0.1f;

struct CheckpointFlash {
  float start = 0.f;   // seconds on the drawing clock
  int checkpoint = 0;  // as the event names it (track file id)
  int team = 0;
};

struct SparkBurst {
  float start = 0.f;
  Vec2 position;       // drawing units
  Vec2 direction;
  float strength = 0.f;
};

struct ShieldImpact {
  int pod = 0;
  float angle = 0.f;   // degrees
  float strength = 0.f;
  float age = 0.f;
};

// The visual effects that step events leave behind, kept between frames and
// aged on the drawing clock. Headless: the drawing code reads the records.
class EffectRecords {
public:
  void clear();

  // Turns the events of the last step into records. A turn takes
  // turnDuration real seconds on screen; an event at time e of it starts on
  // the drawing clock at now + turnDuration * (e - interpolation), when the
  // interpolated pods reach it, and a shield impact starts at age
  // -0.1 * (e - interpolation). The passing pod's team is read from race.
  void addEvents(const std::vector<PhysicsEvent>& events, const Race& race,
                 float turnDuration, float interpolation, float now);

  // One drawn frame at clock now: expired flashes leave from the front,
  // sparks that are due move to dueSparks (appended), impacts age by
  // frameFraction * 0.1 (the share of a turn the frame took) and leave past
  // cImpactLife. Starts stay where they are: the clock moves.
  void age(float frameTime, float frameFraction, float now,
           std::vector<SparkBurst>& dueSparks);

  // The newest flash of this checkpoint that has started (team -1: any team).
  const CheckpointFlash* newestFlash(int checkpoint, int team, float now) const;

  const std::vector<CheckpointFlash>& flashes() const { return flashes_; }
  const std::vector<SparkBurst>& sparks() const { return sparks_; }
  const std::vector<ShieldImpact>& impacts() const { return impacts_; }

private:
  // Vectors, not queues: a handful of records at a time, and their storage
  // serves again from frame to frame where a queue would take new blocks.
  std::vector<CheckpointFlash> flashes_;
  std::vector<SparkBurst> sparks_;
  std::vector<ShieldImpact> impacts_;
};

} // namespace pod
