#include "app/podcamera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

pod::PodCamera cameraOf(float width, float height) {
  pod::PodCamera camera;
  camera.setSize({width, height});
  camera.setMaxTargetDistance(1e9f);
  return camera;
}

TEST(PodCamera, StartsZoomedOutWithDefaultSettings) {
  pod::PodCamera camera;
  EXPECT_FLOAT_EQ(camera.zoom(), 5.f);
  EXPECT_FLOAT_EQ(camera.targetZoom(), 5.f);
  EXPECT_FLOAT_EQ(camera.speed(), 1.f);
  EXPECT_FLOAT_EQ(camera.zoomSpeed(), 10.f);
  EXPECT_FLOAT_EQ(camera.maxTargetDistance(), 0.f);
}

TEST(PodCamera, FocusZoomStaysBetweenFiveAndTwenty) {
  pod::PodCamera camera = cameraOf(1600.f, 900.f);
  // Inside the half-extent the zoom would be 1: the lower bound wins.
  camera.focusOn({{100.f, 50.f}, {-200.f, 0.f}}, 100.f);
  EXPECT_FLOAT_EQ(camera.targetZoom(), 5.f);
  // 3000 / (800 - 50) = 4, still below the bound.
  camera.focusOn({{3000.f, 0.f}}, 100.f);
  EXPECT_FLOAT_EQ(camera.targetZoom(), 5.f);
  camera.focusOn({{6000.f, 0.f}}, 100.f);
  EXPECT_FLOAT_EQ(camera.targetZoom(), 8.f);
  // Vertically the half-extent is 450 - 50.
  camera.focusOn({{0.f, -2400.f}}, 100.f);
  EXPECT_FLOAT_EQ(camera.targetZoom(), 6.f);
  camera.focusOn({{15000.f, 0.f}}, 100.f);
  EXPECT_FLOAT_EQ(camera.targetZoom(), 20.f);
}

TEST(PodCamera, FocusZoomIsMeasuredFromTheCurrentPosition) {
  pod::PodCamera camera = cameraOf(1600.f, 900.f);
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
  EXPECT_FLOAT_EQ(camera.target().x, 0.f);
  EXPECT_FLOAT_EQ(camera.target().y, 0.f);

  camera.setMaxTargetDistance(1e6f);
  camera.focusOn({{1000.f, 2000.f}, {3000.f, 0.f}}, 0.f);
  EXPECT_FLOAT_EQ(camera.target().x, 2000.f);
  EXPECT_FLOAT_EQ(camera.target().y, 1000.f);

  // Mean (3000, 4000) has length 5000: scaled down to 1000, same direction.
  camera.setMaxTargetDistance(1000.f);
  camera.focusOn({{3000.f, 4000.f}}, 0.f);
  EXPECT_NEAR(camera.target().x, 600.f, 1e-3f);
  EXPECT_NEAR(camera.target().y, 800.f, 1e-3f);
}

TEST(PodCamera, FocusOnNothingKeepsTheTargets) {
  pod::PodCamera camera = cameraOf(1600.f, 900.f);
  camera.focusOn({{6000.f, 0.f}}, 100.f);
  camera.focusOn({}, 100.f);
  EXPECT_FLOAT_EQ(camera.target().x, 6000.f);
  EXPECT_FLOAT_EQ(camera.targetZoom(), 8.f);
}

TEST(PodCamera, UpdateGlidesThenSnapsToTheTarget) {
  pod::PodCamera camera = cameraOf(1600.f, 900.f);
  const float dt = 1.f / 60.f;
  camera.focusOn({{100.f, 0.f}}, 0.f);
  camera.update(dt);
  // A fifth of the elapsed time of the remaining distance.
  EXPECT_NEAR(camera.getPosition().x, 100.f * dt / 5.f, 1e-5f);
  EXPECT_FLOAT_EQ(camera.getPosition().y, 0.f);

  // Closer than one step (1/60 of a unit at speed 1): snap.
  camera.setPosition(100.f - 0.01f, 0.f);
  camera.update(dt);
  EXPECT_FLOAT_EQ(camera.getPosition().x, 100.f);

  // The speed scales both the step and the glide.
  camera.setSpeed(3.f);
  camera.setPosition(0.f, 0.f);
  camera.update(dt);
  EXPECT_NEAR(camera.getPosition().x, 100.f * dt * 3.f / 5.f, 1e-4f);
}

TEST(PodCamera, UpdateZoomEasesThenSnaps) {
  pod::PodCamera camera = cameraOf(1600.f, 900.f);
  const float dt = 1.f / 60.f;
  camera.focusOn({{15000.f, 0.f}}, 100.f);
  ASSERT_FLOAT_EQ(camera.targetZoom(), 20.f);
  camera.update(dt);
  EXPECT_NEAR(camera.zoom(), 5.f + 15.f * dt / 5.f, 1e-5f);

  // Within dt * zoom speed of the target zoom: snap.
  camera.setZoom(20.f - 0.1f);
  camera.update(dt);
  EXPECT_FLOAT_EQ(camera.zoom(), 20.f);

  // The zoom speed only decides when to snap, not how fast to ease.
  camera.setZoomSpeed(1000.f);
  camera.focusOn({{0.f, 0.f}}, 100.f);
  camera.update(dt);
  EXPECT_FLOAT_EQ(camera.zoom(), 5.f);
}

TEST(PodCamera, ViewFollowsPositionZoomAndFlip) {
  pod::PodCamera camera = cameraOf(1600.f, 900.f);
  camera.setPosition(1000.f, -500.f);
  sf::View view = camera.view();
  EXPECT_FLOAT_EQ(view.getCenter().x, 1000.f);
  EXPECT_FLOAT_EQ(view.getCenter().y, -500.f);
  EXPECT_FLOAT_EQ(view.getSize().x, 1600.f * 5.f);
  EXPECT_FLOAT_EQ(view.getSize().y, -900.f * 5.f);
  camera.setFlip(false);
  EXPECT_FLOAT_EQ(camera.view().getSize().y, 900.f * 5.f);
}

} // namespace
