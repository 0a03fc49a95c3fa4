#include <SFML/Graphics/RenderWindow.hpp>
#include <gtest/gtest.h>
#include <sfmlutils/camera.h>

TEST(CameraWindow, ResetToWindowTakesSizeCentreAndViewport) {
  sf::RenderWindow window(sf::VideoMode(320, 200), "camera");
  sfmlutils::Camera camera;
  camera.setWindow(&window);
  camera.setPosition(-50.f, 70.f);
  camera.setViewport({0.25f, 0.25f, 0.5f, 0.5f});

  camera.resetToWindow();
  EXPECT_EQ(camera.size(), qutils::Vec2(320.f, 200.f));
  EXPECT_EQ(camera.getPosition(), sf::Vector2f(160.f, 100.f));
  EXPECT_EQ(camera.viewport(), sf::FloatRect(0.f, 0.f, 1.f, 1.f));

  camera.setSize({1.f, 1.f});
  camera.fitWindowSize();
  EXPECT_EQ(camera.size(), qutils::Vec2(320.f, 200.f));
  EXPECT_EQ(camera.window(), &window);
}
