#include <SFML/Graphics/RectangleShape.hpp>
#include <gtest/gtest.h>
#include <sfmlutils/origin.h>

TEST(Origin, ShapesAnchorOnTheirLocalBoundsIncludingOffsets) {
  struct Case {
    void (*anchor)(sf::Shape&);
    sf::Vector2f origin;
  };
  // An outline of 2 moves the local bounds to (-2, -2, 44, 24).
  const Case cases[] = {
      {&sfmlutils::centerOrigin, {20.f, 10.f}},
      {&sfmlutils::leftCenterOrigin, {-2.f, 10.f}},
      {&sfmlutils::rightCenterOrigin, {42.f, 10.f}},
      {&sfmlutils::topCenterOrigin, {20.f, -2.f}},
      {&sfmlutils::topLeftOrigin, {-2.f, -2.f}},
      {&sfmlutils::topRightOrigin, {42.f, -2.f}},
  };
  for (const Case& c : cases) {
    sf::RectangleShape shape({40.f, 20.f});
    shape.setOutlineThickness(2.f);
    c.anchor(shape);
    EXPECT_EQ(shape.getOrigin(), c.origin);
  }
}
