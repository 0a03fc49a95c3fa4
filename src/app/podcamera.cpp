#include "app/podcamera.h"

#include <algorithm>
#include <cmath>

namespace pod {

PodCamera::PodCamera() { setZoom(cMinZoom); }

void PodCamera::focusOn(const std::vector<qutils::Vec2>& points, float margin) {
  if (points.empty())
    return;

  qutils::Vec2 centre;
  for (const qutils::Vec2& p : points)
    centre += p;
  centre /= static_cast<float>(points.size());

  const float distance = std::sqrt(centre.x * centre.x + centre.y * centre.y);
  if (distance > maxTargetDistance_) {
    if (distance > 0.f)
      centre *= maxTargetDistance_ / distance;
    else
      centre = {};
  }
  target_ = centre;

  // Measured from where the camera is now, not from the new target: the
  // zoom must hold the points during the glide too.
  const qutils::Vec2 position(getPosition().x, getPosition().y);
  const qutils::Vec2 half = size() / 2.f - qutils::Vec2(margin / 2.f, margin / 2.f);
  float zoom = 1.f;
  for (const qutils::Vec2& q : points) {
    const qutils::Vec2 d = q - position;
    if (std::fabs(d.x) > half.x)
      zoom = std::max(zoom, std::fabs(d.x) / half.x);
    if (std::fabs(d.y) > half.y)
      zoom = std::max(zoom, std::fabs(d.y) / half.y);
  }
  if (zoom > cMaxZoom)
    zoom = cMaxZoom;
  if (!(zoom > cMinZoom))
    zoom = cMinZoom;
  targetZoom_ = zoom;
}

void PodCamera::update(float dt) {
  const qutils::Vec2 position(getPosition().x, getPosition().y);
  const qutils::Vec2 d = target_ - position;
  const float step = dt * speed_;
  if (step > std::sqrt(d.x * d.x + d.y * d.y)) {
    setPosition(target_.x, target_.y);
  } else {
    const qutils::Vec2 next = position + d * (dt * speed_ / 5.f);
    setPosition(next.x, next.y);
  }

  if (zoom() != targetZoom_) {
    const float snap = dt * zoomSpeed_;
    if (snap > std::fabs(zoom() - targetZoom_))
      setZoom(targetZoom_);
    else
      setZoom(zoom() + (targetZoom_ - zoom()) * dt / 5.f);
  }
}

} // namespace pod
