#include <qutils/vec2.h>

#include <gtest/gtest.h>

#include <cmath>

using qutils::Vec2;

TEST(Vec2, AnglesOfTheAxesAndWrapping) {
  EXPECT_FLOAT_EQ(Vec2(1, 0).angle(), 0.f);
  EXPECT_FLOAT_EQ(Vec2(0, 1).angle(), 90.f);
  EXPECT_FLOAT_EQ(Vec2(-1, 0).angle(), 180.f);
  EXPECT_FLOAT_EQ(Vec2(0, -1).angle(), 270.f);
  EXPECT_FLOAT_EQ(Vec2(3, 3).angle(), 45.f);

  EXPECT_EQ(Vec2::fromAngle(370.f), Vec2::fromAngle(10.f));
  EXPECT_EQ(Vec2::fromAngle(-90.f), Vec2::fromAngle(270.f));
  EXPECT_EQ(Vec2::fromAngle(-730.f), Vec2::fromAngle(350.f));
  const Vec2 up = Vec2::fromAngle(90.f);
  EXPECT_NEAR(up.x, 0.f, 1e-6f);
  EXPECT_FLOAT_EQ(up.y, 1.f);
}

TEST(Vec2, SignedAngleDifferenceTakesTheShortTurn) {
  EXPECT_FLOAT_EQ(qutils::signedAngleDifferenceDegrees(350.f, 10.f), 20.f);
  EXPECT_FLOAT_EQ(qutils::signedAngleDifferenceDegrees(10.f, 350.f), -20.f);
  EXPECT_FLOAT_EQ(qutils::signedAngleDifferenceDegrees(0.f, 180.f), -180.f);
  EXPECT_FLOAT_EQ(qutils::signedAngleDifferenceDegrees(180.f, 0.f), -180.f);
  EXPECT_FLOAT_EQ(qutils::signedAngleDifferenceDegrees(90.f, 90.f), 0.f);
  EXPECT_FLOAT_EQ(qutils::signedAngleDifference(Vec2(1, 0), Vec2(0, 1)), 90.f);
  EXPECT_FLOAT_EQ(qutils::signedAngleDifference(Vec2(0, 1), Vec2(1, 0)), -90.f);
}

TEST(Vec2, RotationTruncationClampAndRounding) {
  const Vec2 r = Vec2(1, 0).rotated(90.f);
  EXPECT_NEAR(r.x, 0.f, 1e-6f);
  EXPECT_NEAR(r.y, 1.f, 1e-6f);
  const Vec2 back = Vec2(0, 2).rotatedRadians(-qutils::kPi / 2.f);
  EXPECT_NEAR(back.x, 2.f, 1e-6f);
  EXPECT_NEAR(back.y, 0.f, 1e-6f);

  // A larger max must leave the vector bit-for-bit unchanged.
  Vec2 v(0.1f, 0.7f);
  const Vec2 before = v;
  v.truncate(1000.f);
  EXPECT_EQ(v, before);
  Vec2 w(30.f, 40.f);
  w.truncate(5.f);
  EXPECT_FLOAT_EQ(w.x, 3.f);
  EXPECT_FLOAT_EQ(w.y, 4.f);

  EXPECT_EQ(Vec2(-7.f, 12.f).clamp(-5.f, 5.f), Vec2(-5.f, 5.f));
  const auto rounded = Vec2(2.5f, -2.5f).rounded();
  EXPECT_EQ(rounded.x, 3);
  EXPECT_EQ(rounded.y, -3);
  EXPECT_TRUE(std::isnan(Vec2().normalised().x));
}

TEST(Vec2, TextAndInterpolation) {
  EXPECT_EQ(Vec2(100.f, -20.5f).toString(), "[100.000000,-20.500000]");
  EXPECT_FLOAT_EQ(qutils::inverseLerp(0.f, 200.f, 50.f), 0.25f);
  EXPECT_FLOAT_EQ(qutils::inverseLerp(1.f, -1.f, 3.f), 0.f);
  EXPECT_FLOAT_EQ(qutils::lerp(10.f, 20.f, 1.5f), 20.f);
  EXPECT_FLOAT_EQ(qutils::lerp(10.f, 20.f, -1.f), 10.f);
  // Vectors only clamp t from above.
  EXPECT_EQ(qutils::lerp(Vec2(0, 0), Vec2(10, 10), -0.5f), Vec2(-5, -5));
  EXPECT_EQ(qutils::lerp(Vec2(0, 0), Vec2(10, 10), 2.f), Vec2(10, 10));
  EXPECT_FLOAT_EQ(qutils::degToRad(180.f), qutils::kPi);
}

TEST(Vec2, ClosestPointOnLine) {
  const Vec2 q = qutils::closestPointOnLine(Vec2(-10, 5), Vec2(10, 5), Vec2(3, 0));
  EXPECT_FLOAT_EQ(q.x, 3.f);
  EXPECT_FLOAT_EQ(q.y, 5.f);
  EXPECT_EQ(qutils::closestPointOnLine(Vec2(1, 1), Vec2(1, 1), Vec2(7, 8)), Vec2(7, 8));
}

TEST(ContactTime, HeadOnOverlapMissAndSeparation) {
  float t = -1.f;
  // Closing at 400 per second with 200 units of gap.
  ASSERT_TRUE(qutils::contactTime(Vec2(-500, 0), Vec2(200, 0), 400.f,
                                  Vec2(500, 0), Vec2(-200, 0), 400.f, t));
  EXPECT_FLOAT_EQ(t, 0.5f);
  // Already overlapping.
  ASSERT_TRUE(qutils::contactTime(Vec2(0, 0), Vec2(0, 0), 400.f, Vec2(700, 0), Vec2(), 400.f, t));
  EXPECT_EQ(t, 0.f);
  // Moving apart, same velocity, and passing wide.
  EXPECT_FALSE(qutils::contactTime(Vec2(-500, 0), Vec2(-10, 0), 400.f, Vec2(500, 0), Vec2(10, 0), 400.f, t));
  EXPECT_FALSE(qutils::contactTime(Vec2(-900, 0), Vec2(5, 5), 400.f, Vec2(900, 0), Vec2(5, 5), 400.f, t));
  EXPECT_FALSE(qutils::contactTime(Vec2(-5000, 0), Vec2(100, 0), 400.f, Vec2(0, 700), Vec2(), 200.f, t));
  // A glancing pass: contact when the gap along the path closes.
  ASSERT_TRUE(qutils::contactTime(Vec2(-1000, 300), Vec2(100, 0), 400.f, Vec2(0, 0), Vec2(), 200.f, t));
  EXPECT_NEAR(t, (1000.f - std::sqrt(600.f * 600.f - 300.f * 300.f)) / 100.f, 1e-4f);
  // Contact beyond one step is still reported; the caller decides.
  ASSERT_TRUE(qutils::contactTime(Vec2(-10000, 0), Vec2(100, 0), 400.f, Vec2(0, 0), Vec2(), 200.f, t));
  EXPECT_FLOAT_EQ(t, 94.f);
}
