#include "simulation/racepacer.h"

#include "race/gamespeed.h"

#include <algorithm>
#include <cmath>

namespace pod {

namespace {

constexpr const float* cTurnDurations = gamespeed::kTurnSeconds;
constexpr const char* const* cSpeedLabels = gamespeed::kLabels;
static_assert(gamespeed::kCount == RacePacer::cSpeedCount);

} // namespace

float RacePacer::turnDurationOf(int index) {
  if (index < 0 || index > cMaxSpeedIndex)
    return -1.f;
  return cTurnDurations[index];
}

const char* RacePacer::speedLabel(int index) {
  if (index < 0 || index > cMaxSpeedIndex)
    return "";
  return cSpeedLabels[index];
}

float RacePacer::countdownLength(bool hasKeyboardPlayer) {
  return hasKeyboardPlayer ? 10.f : 3.f;
}

std::string RacePacer::countdownString(double remaining) {
  double whole = 0.0;
  std::modf(remaining, &whole);
  return std::to_string(static_cast<long long>(whole) + 1);
}

std::uint8_t RacePacer::countdownAlpha(double remaining) {
  double whole = 0.0;
  const double fraction = std::modf(remaining, &whole);
  // Never fainter than this: the number must read over a bright field too.
  constexpr double cLowest = 150.0;
  return static_cast<std::uint8_t>(static_cast<int>(cLowest + fraction * (255.0 - cLowest)));
}

RacePacer::RacePacer() : turnDuration_(cTurnDurations[cDefaultSpeedIndex]) {}

void RacePacer::start(bool countdown) {
  timer_ = 0.f;
  countingDown_ = countdown;
}

void RacePacer::settle(float dt) { timer_ = std::min(timer_ + dt, turnDuration_); }

void RacePacer::setSpeed(int index) {
  speedIndex_ = std::clamp(index, 0, cMaxSpeedIndex);
  if (index >= 0 && index <= cMaxSpeedIndex)
    turnDuration_ = cTurnDurations[index];
}

bool RacePacer::faster() {
  if (speedIndex_ >= cMaxSpeedIndex)
    return false;
  setSpeed(speedIndex_ + 1);
  return true;
}

bool RacePacer::slower() {
  if (speedIndex_ < 1)
    return false;
  setSpeed(speedIndex_ - 1);
  return true;
}

bool RacePacer::advanceCountdown(float dt, bool hasKeyboardPlayer, bool steeringKeyPressed) {
  if (!countingDown_)
    return false;
  timer_ += dt;
  const float length = countdownLength(hasKeyboardPlayer);
  if (timer_ <= length - 3.f && steeringKeyPressed)
    timer_ += 1.f;
  if (timer_ > length) {
    timer_ = 0.f;
    countingDown_ = false;
  }
  return countingDown_;
}

int RacePacer::takeTurns(float dt) {
  timer_ += dt;
  int turns = 0;
  while (timer_ >= turnDuration_) {
    timer_ -= turnDuration_;
    ++turns;
  }
  return turns;
}

double RacePacer::countdownRemaining(bool hasKeyboardPlayer) const {
  return static_cast<double>(countdownLength(hasKeyboardPlayer)) - static_cast<double>(timer_);
}

} // namespace pod
