#pragma once

namespace vexa {

// The arithmetic of the main loop: an update accumulator U and a draw
// accumulator D fed with the measured time of each pass. The rates are passed
// to every call because a screen may change the game rate mid-loop.
class LoopTimer {
public:
  // Wake-up margin: sleeping right up to a deadline tends to overshoot it.
  static constexpr float cSleepMargin = 0.01f;

  void advance(float dt) { update_ += dt; draw_ += dt; }

  // Seconds to sleep before the nearer deadline, 0 for none.
  float sleepTime(float gameRate, float framePeriod) const;

  // Takes one update step off U when one is due.
  bool consumeUpdate(float gameRate);

  bool frameDue(float framePeriod) const { return draw_ >= framePeriod; }

  // After drawing: missed frames are dropped, never drawn twice.
  void dropFrames(float framePeriod);
  // The engine loop's variant: D stays at or above one period.
  void dropFramesKeepingOne(float framePeriod);

  // The fraction of an update period already accumulated.
  float interpolation(float gameRate) const { return update_ / gameRate; }

  float updateTime() const { return update_; }
  float drawTime() const { return draw_; }

private:
  float update_ = 0.f;
  float draw_ = 0.f;
};

} // namespace vexa
