#pragma once

#include <cmath>
#include <string>

// Two-dimensional vectors and angle helpers shared by the whole program.
// Angles are in degrees unless a name says radians; they grow from +x toward +y
// and are kept in [0, 360).

namespace qutils {

constexpr float kPi = 3.1415927f;

struct Vec2i {
  int x = 0;
  int y = 0;
};

struct Vec2 {
  float x = 0.f;
  float y = 0.f;

  constexpr Vec2() = default;
  constexpr Vec2(float xx, float yy) : x(xx), y(yy) {}
  explicit constexpr Vec2(const Vec2i& v)
      : x(static_cast<float>(v.x)), y(static_cast<float>(v.y)) {}

  Vec2& operator+=(const Vec2& o) { x += o.x; y += o.y; return *this; }
  Vec2& operator-=(const Vec2& o) { x -= o.x; y -= o.y; return *this; }
  Vec2& operator*=(float s) { x *= s; y *= s; return *this; }
  Vec2& operator/=(float s) { x /= s; y /= s; return *this; }

  float length() const { return std::sqrt(x * x + y * y); }
  float squaredLength() const { return x * x + y * y; }

  // No guard: the zero vector gives NaN.
  Vec2& normalise();
  Vec2 normalised() const;

  // Direction in [0, 360); asserts on the zero vector.
  float angle() const;
  // Wraps the angle into [0, 360] and becomes the unit vector at it.
  inline Vec2& setFromAngle(float degrees);
  static Vec2 fromAngle(float degrees) {
    Vec2 v;
    return v.setFromAngle(degrees);
  }

  Vec2& rotate(float degrees);
  Vec2 rotated(float degrees) const;
  Vec2& rotateRadians(float radians);
  Vec2 rotatedRadians(float radians) const;

  Vec2& truncate(float max);
  Vec2& clamp(float min, float max);
  Vec2i rounded() const;
  std::string toString() const;
};

constexpr bool operator==(const Vec2& a, const Vec2& b) { return a.x == b.x && a.y == b.y; }
constexpr bool operator!=(const Vec2& a, const Vec2& b) { return !(a == b); }
constexpr Vec2 operator+(const Vec2& a, const Vec2& b) { return {a.x + b.x, a.y + b.y}; }
constexpr Vec2 operator-(const Vec2& a, const Vec2& b) { return {a.x - b.x, a.y - b.y}; }
constexpr Vec2 operator-(const Vec2& a) { return {-a.x, -a.y}; }
constexpr Vec2 operator*(const Vec2& a, float s) { return {a.x * s, a.y * s}; }
constexpr Vec2 operator*(float s, const Vec2& a) { return {a.x * s, a.y * s}; }
constexpr Vec2 operator/(const Vec2& a, float s) { return {a.x / s, a.y / s}; }

constexpr float dot(const Vec2& a, const Vec2& b) { return a.x * b.x + a.y * b.y; }

// The small helpers below sit in the header: the physics calls them in its
// innermost loops, where a call costs more than the work.

inline float absf(float v) { return std::fabs(v); }
inline float degToRad(float degrees) { return degrees * kPi / 180.f; }
inline float radToDeg(float radians) { return radians * 180.f / kPi; }

inline Vec2& Vec2::setFromAngle(float degrees) {
  while (degrees < 0.f)
    degrees += 360.f;
  while (degrees > 360.f)
    degrees -= 360.f;
  const float r = degToRad(degrees);
  x = std::cos(r);
  y = std::sin(r);
  return *this;
}

inline float distance(const Vec2& a, const Vec2& b) { return (a - b).length(); }
inline float squaredDistance(const Vec2& a, const Vec2& b) { return (a - b).squaredLength(); }

// Shortest signed turn in degrees from the direction of a to that of b, in
// (-180, 180]; an exact half turn gives -180.
float signedAngleDifference(const Vec2& a, const Vec2& b);
// The same rule on two directions already given as angles.
float signedAngleDifferenceDegrees(float from, float to);

inline float clampf(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
inline float inverseLerp(float lo, float hi, float x) {
  return clampf((x - lo) / (hi - lo), 0.f, 1.f);
}
float lerp(float a, float b, float t);
// t is only clamped to at most 1.
Vec2 lerp(const Vec2& a, const Vec2& b, float t);

// The point of the line through p and q nearest to o (o itself when p == q).
inline Vec2 closestPointOnLine(const Vec2& p, const Vec2& q, const Vec2& o) {
  const float a = q.y - p.y;
  const float b = p.x - q.x;
  const float c1 = a * p.x + b * p.y;
  const float c2 = a * o.y - b * o.x;
  const float det = a * a + b * b;
  if (det == 0.f)
    return o;
  return {(a * c1 - b * c2) / det, (a * c2 + b * c1) / det};
}

// Earliest time at which two moving circles touch; false when they never do
// or are separating. Overlapping circles touch at t = 0. t may exceed any step.
inline bool contactTime(const Vec2& a, const Vec2& va, float ra,
                        const Vec2& b, const Vec2& vb, float rb, float& t) {
  const float r = ra + rb;
  const float rr = r * r;
  if (rr > squaredDistance(a, b)) {
    t = 0.f;
    return true;
  }
  if (va == vb)
    return false;
  const Vec2 p = a - b;
  const Vec2 v = va - vb;
  const Vec2 q = closestPointOnLine(p, p + v, Vec2());
  const float qq = q.squaredLength();
  if (qq >= rr)
    return false;
  const float speed = v.length();
  const Vec2 k = q - (v / speed) * std::sqrt(rr - qq);
  const float toContact = distance(p, k);
  if (toContact > distance(p, q))
    return false;
  t = toContact / speed;
  return true;
}

} // namespace qutils
