#pragma once

#include <cstdint>
#include <string>

namespace pod {

// Real-time pacing of a race: the six game speeds, the pre-race countdown and
// the turn timer. Headless, so the race screen's timing is tested without a
// window.
class RacePacer {
public:
  static constexpr int cMaxSpeedIndex = 5;
  static constexpr int cSpeedCount = 6;
  static constexpr int cDefaultSpeedIndex = 3;

  // Real seconds per turn at a speed index 0 to 5; -1 outside the range.
  static float turnDurationOf(int index);
  static const char* speedLabel(int index);

  // 10 s with a keyboard player (7 s of waiting, then 3), otherwise 3 s.
  static float countdownLength(bool hasKeyboardPlayer);
  // The number shown with remaining seconds r: trunc(r) + 1.
  static std::string countdownString(double remaining);
  // Opaque at the start of each second, fading over it, never below a
  // readable alpha.
  static std::uint8_t countdownAlpha(double remaining);

  RacePacer();

  // A new race: the countdown starts over (none for a replay); the speed is
  // kept.
  void start(bool countdown = true);

  // Clamps the index; an index out of 0..5 leaves the turn duration as is.
  void setSpeed(int index);

  // The speed keys: one step faster or slower, nothing at the ends of the
  // range. Return whether the speed changed.
  bool faster();
  bool slower();

  // One update step of the countdown. A steering key pressed during the
  // waiting phase skips one second. Returns whether it is still counting.
  bool advanceCountdown(float dt, bool hasKeyboardPlayer, bool steeringKeyPressed);

  // One update step of the race: accumulates dt and returns how many turns
  // are due (the timer keeps the remainder).
  int takeTurns(float dt);

  // A replay that does not advance: the turn shown finishes its motion and
  // stays (the timer grows up to one turn duration).
  void settle(float dt);
  // Puts the timer at a share of the current turn: 0 replays the turn's
  // motion, 1 shows its end at once.
  void setTurnElapsed(float share) { timer_ = share * turnDuration_; }

  // Fraction of the current turn elapsed (unclamped).
  float interpolation() const { return timer_ / turnDuration_; }

  float timer() const { return timer_; }
  float turnDuration() const { return turnDuration_; }
  int speedIndex() const { return speedIndex_; }
  bool countingDown() const { return countingDown_; }
  // Seconds left in the countdown, in double precision as the display needs.
  double countdownRemaining(bool hasKeyboardPlayer) const;

private:
  float timer_ = 0.f;
  float turnDuration_;
  int speedIndex_ = cDefaultSpeedIndex;
  bool countingDown_ = false;
};

} // namespace pod
