#include "simulation/interpolation.h"

#include <gtest/gtest.h>

namespace pod {
namespace {

TEST(Interpolation, AngleAcrossZeroTakesTheShortWay) {
  // 350 -> 10 is a 20 degree turn through 0, not 340 the other way.
  EXPECT_NEAR(interpolateAngle(350.f, 10.f, 0.25f), 355.f, 1e-4f);
  EXPECT_NEAR(interpolateAngle(350.f, 10.f, 0.75f), 5.f, 1e-4f);
  EXPECT_NEAR(interpolateAngle(10.f, 350.f, 0.25f), 5.f, 1e-4f);
  EXPECT_NEAR(interpolateAngle(10.f, 350.f, 0.75f), 355.f, 1e-4f);
  // The midpoint of a turn through 0 is 0 itself, never 360.
  const float mid = interpolateAngle(350.f, 10.f, 0.5f);
  EXPECT_GE(mid, 0.f);
  EXPECT_LT(mid, 360.f);
  EXPECT_NEAR(mid, 0.f, 1e-4f);
}

TEST(Interpolation, AngleWithinNinetyDegreesIsLinearAndClamped) {
  EXPECT_FLOAT_EQ(interpolateAngle(100.f, 170.f, 0.5f), 135.f);
  EXPECT_FLOAT_EQ(interpolateAngle(170.f, 100.f, 0.5f), 135.f);
  EXPECT_FLOAT_EQ(interpolateAngle(100.f, 170.f, 0.f), 100.f);
  // Past the end of a turn the pod waits at the current state.
  EXPECT_FLOAT_EQ(interpolateAngle(100.f, 170.f, 3.f), 170.f);
}

TEST(Interpolation, PodIsDrawnBetweenStatesInDrawingUnits) {
  PodState a;
  a.position = {0.f, 0.f};
  a.angle = 0.f;
  a.engine = 0.f;
  a.shieldCooldown = 3.f;
  PodState b = a;
  b.position = {2343.75f, -4687.5f};
  b.angle = 80.f;
  b.engine = 200.f;
  b.shieldCooldown = 2.f;

  const DrawnPod half = interpolatePod(a, b, 0.5f);
  EXPECT_FLOAT_EQ(half.position.x, 500.f);
  EXPECT_FLOAT_EQ(half.position.y, -1000.f);
  EXPECT_FLOAT_EQ(half.angle, 40.f);
  EXPECT_FLOAT_EQ(half.engine, 100.f);
  EXPECT_FLOAT_EQ(half.shieldCooldown, 2.5f);

  const DrawnPod late = interpolatePod(a, b, 1.5f);
  EXPECT_FLOAT_EQ(late.position.x, 1000.f);
  EXPECT_FLOAT_EQ(late.angle, 80.f);
}

TEST(Interpolation, EqualStatesDrawTheGridWhateverTheFraction) {
  Race race;
  race.pods.resize(2);
  race.pods[0].position = {1000.f, 2000.f};
  race.pods[1].position = {-3000.f, 500.f};
  race.pods[1].angle = 200.f;
  std::vector<DrawnPod> drawn;
  for (float t : {0.f, 0.3f, 1.f}) {
    interpolatePods(race, race, t, drawn);
    ASSERT_EQ(drawn.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
      EXPECT_FLOAT_EQ(drawn[i].position.x, race.pods[i].position.x / cWorldPerDrawingUnit);
      EXPECT_FLOAT_EQ(drawn[i].position.y, race.pods[i].position.y / cWorldPerDrawingUnit);
      EXPECT_FLOAT_EQ(drawn[i].angle, race.pods[i].angle);
    }
  }
}

} // namespace
} // namespace pod
