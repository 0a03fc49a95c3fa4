#include "screens/vfxcontrols.h"

#include <algorithm>
#include <cmath>

namespace pod {

int VfxControls::nextPage(int page) { return page >= cPageCount - 1 ? 0 : page + 1; }

int VfxControls::previousPage(int page) { return page <= 0 ? cPageCount - 1 : page - 1; }

bool VfxControls::takesParameters(int page) {
  return page != cShieldPage && page != cCheckpointGlowPage;
}

void VfxControls::setPage(int page) {
  page_ = page;
  pageTime_ = 0.f;
}

void VfxControls::speedUp() {
  targetSpeed_ += targetSpeed_ < 100.f ? 10.f : 50.f;
  targetSpeed_ = std::clamp(targetSpeed_, cMinSpeed, cMaxSpeed);
}

void VfxControls::slowDown() {
  targetSpeed_ -= targetSpeed_ <= 100.f ? 10.f : 50.f;
  targetSpeed_ = std::clamp(targetSpeed_, cMinSpeed, cMaxSpeed);
}

void VfxControls::easeSpeed(float frameTime) {
  const float rate = speed_ > 100.f ? 80.f : 40.f;
  const float step = rate * frameTime;
  // Never past the target: a step longer than the snapping window would
  // swing round it for ever (349.3 / 350.7 at 60 frames per second).
  if (speed_ < targetSpeed_)
    speed_ = std::min(speed_ + step, targetSpeed_);
  else if (speed_ > targetSpeed_)
    speed_ = std::max(speed_ - step, targetSpeed_);
  if (std::fabs(speed_ - targetSpeed_) < 0.5f)
    speed_ = targetSpeed_;
}

float VfxControls::advanceClocks(float frameTime) {
  const float scaled = frameTime * speed_ / 100.f;
  pageTime_ += scaled;
  effectTime_ += scaled;
  return scaled;
}

bool VfxControls::wrapPageTime(float period) {
  if (pageTime_ < period)
    return false;
  pageTime_ = 0.f;
  return true;
}

void VfxControls::steer(const qutils::Vec2& offset) {
  // At the very centre there is no direction to read: the intensity drops to
  // 0 and the direction stays as it was, so nothing jumps.
  if (offset.x != 0.f || offset.y != 0.f)
    direction_ = offset.angle();
  intensity_ = std::clamp(offset.length() / cReach, 0.f, 1.f);
  autoDemo_ = false;
  idleTimer_ = cIdleDelay;
}

void VfxControls::toggleDemo() {
  autoDemo_ = !autoDemo_;
  idleTimer_ = cIdleDelay;
}

void VfxControls::tick(float dt) {
  if (!autoDemo_) {
    idleTimer_ -= dt;
    if (idleTimer_ > 0.f)
      return;
    autoDemo_ = true;
    idleTimer_ = cIdleDelay;
  }
  intensity_ = (std::sin(effectTime_ - 1.5f) + 1.f) / 2.f;
  direction_ += cDemoTurnRate * dt;
  if (direction_ >= 360.f)
    direction_ = 0.f;
}

float VfxControls::demoBarFraction() const {
  return std::clamp(idleTimer_ / cIdleDelay, 0.f, 1.f);
}

void VfxControls::latch(float intensity, float direction) {
  usedIntensity_ = intensity;
  usedDirection_ = direction;
}

qutils::Vec2 slideTowards(const qutils::Vec2& anchor, const qutils::Vec2& target) {
  const qutils::Vec2 step = (target - anchor) * 0.125f;
  if (step.length() < 0.01f)
    return target;
  return anchor + step;
}

} // namespace pod
