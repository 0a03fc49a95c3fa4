#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <gtest/gtest.h>
#include <sfmlutils/origin.h>

namespace {

// An outline moves the local bounds to (-2, -2, 44, 24): the offsets count.
sf::RectangleShape outlined() {
  sf::RectangleShape shape({40.f, 20.f});
  shape.setOutlineThickness(2.f);
  return shape;
}

} // namespace

TEST(Origin, ShapesAnchorOnTheirLocalBoundsIncludingOffsets) {
  struct Case {
    void (*anchor)(sf::Shape&);
    sf::Vector2f origin;
  };
  const Case cases[] = {
      {&sfmlutils::centerOrigin, {20.f, 10.f}},
      {&sfmlutils::leftCenterOrigin, {-2.f, 10.f}},
      {&sfmlutils::rightCenterOrigin, {42.f, 10.f}},
      {&sfmlutils::topCenterOrigin, {20.f, -2.f}},
      {&sfmlutils::topLeftOrigin, {-2.f, -2.f}},
      {&sfmlutils::topRightOrigin, {42.f, -2.f}},
  };
  for (const Case& c : cases) {
    sf::RectangleShape shape = outlined();
    c.anchor(shape);
    EXPECT_EQ(shape.getOrigin(), c.origin);
  }
}
