#include "vexa/core/looptimer.h"

namespace vexa {

float LoopTimer::sleepTime(float gameRate, float framePeriod) const {
  const float ru = gameRate - update_;
  const float rd = framePeriod - draw_;
  if (ru > cSleepMargin && rd > cSleepMargin) {
    const float wait = ru < rd ? ru : rd;
    if (wait > cSleepMargin)
      return wait - cSleepMargin;
  }
  return 0.f;
}

bool LoopTimer::consumeUpdate(float gameRate) {
  if (update_ < gameRate)
    return false;
  update_ -= gameRate;
  return true;
}

void LoopTimer::dropFrames(float framePeriod) {
  while (draw_ >= framePeriod)
    draw_ -= framePeriod;
}

void LoopTimer::dropFramesKeepingOne(float framePeriod) {
  while (draw_ >= 2.f * framePeriod)
    draw_ -= framePeriod;
}

} // namespace vexa
