#include "app/podcamera.h"

#include <gtest/gtest.h>

namespace {

pod::PodCamera cameraOf(float width, float height) {
  pod::PodCamera camera;
  camera.setSize({width, height});
  camera.setMaxTargetDistance(1e9f);
  return camera;
}

TEST(PodCamera, FocusZoomShowsThePointsFromTheCurrentPositionBetweenFiveAndTwenty) {
  pod::PodCamera camera = cameraOf(1600.f, 900.f);
  struct Case {
    std::vector<qutils::Vec2> points;
    float zoom;
  };
  // With a margin of 100, the half-extent is 800 - 50 across and 450 - 50 down.
  const Case cases[] = {{{{100.f, 50.f}, {-200.f, 0.f}}, 5.f}, // zoom 1: the lower bound
                        {{{3000.f, 0.f}}, 5.f},                // 4, still below it
                        {{{6000.f, 0.f}}, 8.f},
                        {{{0.f, -2400.f}}, 6.f},
                        {{{15000.f, 0.f}}, 20.f}};
  for (const Case& c : cases) {
    camera.focusOn(c.points, 100.f);
    EXPECT_FLOAT_EQ(camera.targetZoom(), c.zoom) << c.points[0].x << ", " << c.points[0].y;
  }
  // Nothing to show keeps the targets.
  camera.focusOn({}, 100.f);
  EXPECT_FLOAT_EQ(camera.target().x, 15000.f);
  EXPECT_FLOAT_EQ(camera.targetZoom(), 20.f);

  // The target becomes the point itself, but the camera is still at the
  // origin: the zoom must show the point from there.
  camera.focusOn({{4500.f, 0.f}}, 100.f);
  EXPECT_FLOAT_EQ(camera.target().x, 4500.f);
  EXPECT_FLOAT_EQ(camera.targetZoom(), 6.f);
  camera.setPosition(4500.f, 0.f);
  camera.focusOn({{4500.f, 0.f}}, 100.f);
  EXPECT_FLOAT_EQ(camera.targetZoom(), 5.f);
}

TEST(PodCamera, FocusTargetIsTheMeanKeptNearTheOrigin) {
  pod::PodCamera camera;
  camera.setSize({1600.f, 900.f});
  // Default maximum distance 0: every target is the origin.
  camera.focusOn({{1000.f, 2000.f}, {3000.f, 0.f}}, 0.f);
  EXPECT_EQ(camera.target(), qutils::Vec2(0.f, 0.f));
  camera.setMaxTargetDistance(1e6f);
  camera.focusOn({{1000.f, 2000.f}, {3000.f, 0.f}}, 0.f);
  EXPECT_EQ(camera.target(), qutils::Vec2(2000.f, 1000.f));
  // Mean (3000, 4000) has length 5000: scaled down to 1000, same direction.
  camera.setMaxTargetDistance(1000.f);
  camera.focusOn({{3000.f, 4000.f}}, 0.f);
  EXPECT_NEAR(camera.target().x, 600.f, 1e-3f);
  EXPECT_NEAR(camera.target().y, 800.f, 1e-3f);
}

TEST(PodCamera, UpdateGlidesAndEasesThenSnapsToTheTarget) {
  pod::PodCamera camera = cameraOf(1600.f, 900.f);
  const float dt = 1.f / 60.f;
  camera.focusOn({{15000.f, 0.f}}, 100.f);
  camera.update(dt);
  // A fifth of the elapsed time of the remaining distance and zoom.
  EXPECT_NEAR(camera.getPosition().x, 15000.f * dt / 5.f, 1e-3f);
  EXPECT_FLOAT_EQ(camera.getPosition().y, 0.f);
  EXPECT_NEAR(camera.zoom(), 5.f + 15.f * dt / 5.f, 1e-5f);

  // Closer than one step (1/60 of a unit at speed 1, dt * zoom speed of zoom): snap.
  camera.setPosition(15000.f - 0.01f, 0.f);
  camera.setZoom(20.f - 0.1f);
  camera.update(dt);
  EXPECT_FLOAT_EQ(camera.getPosition().x, 15000.f);
  EXPECT_FLOAT_EQ(camera.zoom(), 20.f);

  // The speed scales both the step and the glide.
  camera.setSpeed(3.f);
  camera.setPosition(0.f, 0.f);
  camera.update(dt);
  EXPECT_NEAR(camera.getPosition().x, 15000.f * dt * 3.f / 5.f, 1e-2f);

  // The zoom speed only decides when to snap, not how fast to ease.
  camera.setZoomSpeed(1000.f);
  camera.focusOn({{0.f, 0.f}}, 100.f);
  camera.update(dt);
  EXPECT_FLOAT_EQ(camera.zoom(), 5.f);
}

} // namespace
