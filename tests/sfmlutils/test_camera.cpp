#include "../vexa/assertrecorder.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <gtest/gtest.h>
#include <sfmlutils/camera.h>
#include <sfmlutils/viewguard.h>

#include <cmath>

using sfmlutils::Camera;

namespace {

// A render target that only keeps views: enough for ViewGuard, no GL.
class ViewOnlyTarget : public sf::RenderTarget {
public:
  ViewOnlyTarget() { initialize(); }
  sf::Vector2u getSize() const override { return {640, 480}; }
};

Camera cameraAt(float x, float y, float w, float h, float zoom) {
  Camera camera;
  camera.setPosition(x, y);
  camera.setSize({w, h});
  camera.setZoom(zoom);
  return camera;
}

} // namespace

TEST(Camera, ViewRectScalesByTheZoomAndTheViewFlipsYUnlessToldNot) {
  Camera camera = cameraAt(100.f, 50.f, 800.f, 600.f, 2.f);
  EXPECT_EQ(camera.viewRect(), sf::FloatRect(-700.f, -550.f, 1600.f, 1200.f));
  camera.setViewport({0.5f, 0.f, 0.5f, 1.f});
  camera.setRotation(30.f);
  const sf::View flipped = camera.view();
  EXPECT_EQ(flipped.getSize(), sf::Vector2f(1600.f, -1200.f));
  EXPECT_EQ(flipped.getCenter(), sf::Vector2f(100.f, 50.f));
  EXPECT_EQ(flipped.getViewport(), sf::FloatRect(0.5f, 0.f, 0.5f, 1.f));
  EXPECT_FLOAT_EQ(flipped.getRotation(), 30.f);

  camera.setFlip(false);
  camera.zoomBy(0.5f);
  EXPECT_EQ(camera.viewRect(), sf::FloatRect(-300.f, -250.f, 800.f, 600.f));
  EXPECT_EQ(camera.view().getSize(), sf::Vector2f(800.f, 600.f));
}

TEST(Camera, MoveOnScreenFollowsTheRotation) {
  Camera camera;
  auto at = [&camera](float x, float y) {
    const sf::Vector2f p = camera.getPosition();
    return std::abs(p.x - x) < 1e-4f && std::abs(p.y - y) < 1e-4f;
  };
  camera.setRotation(90.f);
  camera.moveOnScreen(10.f, 0.f);
  EXPECT_TRUE(at(0.f, 10.f));
  camera.setRotation(180.f);
  camera.moveOnScreen(qutils::Vec2(0.f, 4.f));
  EXPECT_TRUE(at(0.f, 6.f));
  // A world move ignores the rotation.
  camera.move(qutils::Vec2(1.f, 1.f));
  EXPECT_TRUE(at(1.f, 7.f));
}

TEST(ViewGuard, NestedGuardsRestoreInReverseOrder) {
  ViewOnlyTarget target;
  const sf::View original = target.getView();
  {
    sfmlutils::ViewGuard outer(target, sf::View({1.f, 2.f}, {10.f, 10.f}));
    {
      sfmlutils::ViewGuard inner(target, cameraAt(0.f, 0.f, 100.f, 100.f, 1.f));
      EXPECT_EQ(target.getView().getSize(), sf::Vector2f(100.f, -100.f));
    }
    EXPECT_EQ(target.getView().getSize(), sf::Vector2f(10.f, 10.f));
  }
  EXPECT_EQ(target.getView().getSize(), original.getSize());
}
