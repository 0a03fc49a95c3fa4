#pragma once

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

  float length() const;
  float squaredLength() const { return x * x + y * y; }

  // No guard: the zero vector gives NaN.
  Vec2& normalise();
  Vec2 normalised() const;

  // Direction in [0, 360); asserts on the zero vector.
  float angle() const;
  // Wraps the angle into [0, 360] and becomes the unit vector at it.
  Vec2& setFromAngle(float degrees);
  static Vec2 fromAngle(float degrees);

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

float absf(float v);
float degToRad(float degrees);
float radToDeg(float radians);

float distance(const Vec2& a, const Vec2& b);
float squaredDistance(const Vec2& a, const Vec2& b);

// Shortest signed turn in degrees from the direction of a to that of b, in
// (-180, 180]; an exact half turn gives -180.
float signedAngleDifference(const Vec2& a, const Vec2& b);
// The same rule on two directions already given as angles.
float signedAngleDifferenceDegrees(float from, float to);

float clampf(float v, float lo, float hi);
float inverseLerp(float lo, float hi, float x);
float lerp(float a, float b, float t);
// t is only clamped to at most 1.
Vec2 lerp(const Vec2& a, const Vec2& b, float t);

// The point of the line through p and q nearest to o (o itself when p == q).
Vec2 closestPointOnLine(const Vec2& p, const Vec2& q, const Vec2& o);

// Earliest time at which two moving circles touch; false when they never do
// or are separating. Overlapping circles touch at t = 0. t may exceed any step.
bool contactTime(const Vec2& a, const Vec2& va, float ra,
                 const Vec2& b, const Vec2& vb, float rb, float& t);

} // namespace qutils
