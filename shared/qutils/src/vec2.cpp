#include "qutils/vec2.h"

#include "qutils/assert.h"

#include <cmath>
#include <cstdio>

namespace qutils {

Vec2& Vec2::normalise() {
  const float len = length();
  x /= len;
  y /= len;
  return *this;
}

Vec2 Vec2::normalised() const {
  Vec2 v(*this);
  return v.normalise();
}

float Vec2::angle() const {
  Q_ASSERT((x != 0.f) || (y != 0.f));
  const float len = length();
  float a = std::atan2(y / len, x / len) * 180.f / kPi;
  if (a < 0.f)
    a += 360.f;
  return a;
}

Vec2& Vec2::rotate(float degrees) { return rotateRadians(degToRad(degrees)); }

Vec2 Vec2::rotated(float degrees) const {
  Vec2 v(*this);
  return v.rotate(degrees);
}

Vec2& Vec2::rotateRadians(float radians) {
  const float c = std::cos(radians);
  const float s = std::sin(radians);
  const float nx = x * c - y * s;
  const float ny = y * c + x * s;
  x = nx;
  y = ny;
  return *this;
}

Vec2 Vec2::rotatedRadians(float radians) const {
  Vec2 v(*this);
  return v.rotateRadians(radians);
}

Vec2& Vec2::truncate(float max) {
  const float len = length();
  if (len > max) {
    x = x / len * max;
    y = y / len * max;
  }
  return *this;
}

Vec2& Vec2::clamp(float min, float max) {
  x = clampf(x, min, max);
  y = clampf(y, min, max);
  return *this;
}

Vec2i Vec2::rounded() const {
  return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

std::string Vec2::toString() const {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "[%f,%f]", static_cast<double>(x),
                static_cast<double>(y));
  return buffer;
}

float signedAngleDifferenceDegrees(float from, float to) {
  const float right = to >= from ? to - from : 360.f - from + to;
  const float left = (from >= to ? from : from + 360.f) - to;
  return right < left ? right : -left;
}

float signedAngleDifference(const Vec2& a, const Vec2& b) {
  return signedAngleDifferenceDegrees(a.angle(), b.angle());
}

float lerp(float a, float b, float t) { return a + (b - a) * clampf(t, 0.f, 1.f); }

Vec2 lerp(const Vec2& a, const Vec2& b, float t) {
  return a + (b - a) * (t > 1.f ? 1.f : t);
}

} // namespace qutils
