#pragma once

#include <sfmlutils/camera.h>

#include <qutils/vec2.h>

#include <vector>

namespace pod {

// The race camera: glides towards a target and zooms so that a set of points
// stays on screen.
class PodCamera : public sfmlutils::Camera {
public:
  static constexpr float cMinZoom = 5.f;
  static constexpr float cMaxZoom = 20.f;

  PodCamera();
  ~PodCamera() override = default;

  // Targets the mean of points (kept within the maximum target distance of
  // the origin) with a zoom that shows every point inside margin pixels.
  // An empty list leaves the targets as they are.
  void focusOn(const std::vector<qutils::Vec2>& points, float margin);
  void update(float dt) override;

  void setMaxTargetDistance(float distance) { maxTargetDistance_ = distance; }
  void setSpeed(float speed) { speed_ = speed; }
  void setZoomSpeed(float speed) { zoomSpeed_ = speed; }

  const qutils::Vec2& target() const { return target_; }
  float targetZoom() const { return targetZoom_; }
  float maxTargetDistance() const { return maxTargetDistance_; }
  float speed() const { return speed_; }
  float zoomSpeed() const { return zoomSpeed_; }

private:
  qutils::Vec2 target_;
  float maxTargetDistance_ = 0.f;
  float speed_ = 1.f;
  float targetZoom_ = 5.f;
  float zoomSpeed_ = 10.f;
};

} // namespace pod
