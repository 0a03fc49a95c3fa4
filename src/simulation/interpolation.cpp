#include "simulation/interpolation.h"

#include <algorithm>
#include <cmath>

namespace pod {

namespace {

float blend(float a, float b, float t) { return a + (b - a) * std::min(t, 1.f); }

} // namespace

float interpolateAngle(float previous, float current, float t) {
  if (std::fabs(previous - current) > 90.f) {
    if (previous < current)
      previous += 360.f;
    else
      current += 360.f;
  }
  float angle = blend(previous, current, t);
  if (angle >= 360.f)
    angle -= 360.f;
  return angle;
}

DrawnPod interpolatePod(const PodState& previous, const PodState& current, float t) {
  DrawnPod drawn;
  drawn.position = toDrawing(qutils::lerp(previous.position, current.position, t));
  drawn.angle = interpolateAngle(previous.angle, current.angle, t);
  drawn.engine = blend(previous.engine, current.engine, t);
  drawn.shieldCooldown = blend(previous.shieldCooldown, current.shieldCooldown, t);
  return drawn;
}

void interpolatePods(const Race& previous, const Race& current, float t,
                     std::vector<DrawnPod>& out) {
  out.resize(current.pods.size());
  for (std::size_t i = 0; i < current.pods.size(); ++i) {
    const PodState& prev = i < previous.pods.size() ? previous.pods[i] : current.pods[i];
    out[i] = interpolatePod(prev, current.pods[i], t);
  }
}

} // namespace pod
