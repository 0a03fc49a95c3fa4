#pragma once

#include <qutils/vec2.h>

namespace pod {

// The showcase's settings and clocks, apart from any window: the page, the
// speed and its easing, the direction and intensity set by hand or by the
// automatic demo, and the countdown after which the demo takes over again.
class VfxControls {
public:
  static constexpr int cPageCount = 6;
  static constexpr int cShieldPage = 3;
  static constexpr int cCheckpointGlowPage = 5;
  static constexpr float cIdleDelay = 10.f;
  static constexpr float cMinSpeed = 10.f;
  static constexpr float cMaxSpeed = 400.f;
  // Pixels from the window centre that give full intensity.
  static constexpr float cReach = 400.f;
  // Degrees per second the demo turns the direction.
  static constexpr float cDemoTurnRate = 30.f;

  static int nextPage(int page);
  static int previousPage(int page);
  // The shield and the checkpoint glow take no direction nor intensity, so
  // their pages show neither the parameters nor the demo controls.
  static bool takesParameters(int page);

  // Restarts the page clock.
  void setPage(int page);
  int page() const { return page_; }

  // Wheel forward / keypad plus, and back: fine steps up to 100 %, coarse
  // ones above.
  void speedUp();
  void slowDown();
  // Moves the shown speed towards the target over one frame.
  void easeSpeed(float frameTime);
  // Advances the page and effect clocks by one frame at the shown speed;
  // returns the scaled time.
  float advanceClocks(float frameTime);
  // Back to 0 once the page clock has reached period; true when it did.
  bool wrapPageTime(float period);

  // The pointer held at offset from the window centre (window pixels) sets
  // direction and intensity and stops the demo for a while.
  void steer(const qutils::Vec2& offset);
  void toggleDemo();
  // One update step: the idle countdown, then the demo's animation.
  void tick(float dt);
  // What is left of the idle countdown, 1 just after a touch down to 0.
  float demoBarFraction() const;

  // The values the current effect works with.
  void latch(float intensity, float direction);

  bool autoDemo() const { return autoDemo_; }
  float idleTimer() const { return idleTimer_; }
  float direction() const { return direction_; }
  float intensity() const { return intensity_; }
  float usedDirection() const { return usedDirection_; }
  float usedIntensity() const { return usedIntensity_; }
  float speed() const { return speed_; }
  float targetSpeed() const { return targetSpeed_; }
  float pageTime() const { return pageTime_; }
  float effectTime() const { return effectTime_; }

private:
  int page_ = 0;
  float pageTime_ = 0.f;
  float effectTime_ = 0.f;
  bool autoDemo_ = true;
  float idleTimer_ = cIdleDelay;
  float direction_ = 0.f;
  float usedDirection_ = 0.f;
  float intensity_ = 0.f;
  float usedIntensity_ = 0.f;
  float speed_ = 100.f;
  float targetSpeed_ = 100.f;
};

// One frame of a sliding panel: an eighth of the way to the target, or the
// target itself once the step gets shorter than 0.01.
qutils::Vec2 slideTowards(const qutils::Vec2& anchor, const qutils::Vec2& target);

} // namespace pod
