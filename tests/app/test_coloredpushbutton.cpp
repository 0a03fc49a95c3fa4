#include "app/coloredpushbutton.h"
#include "testapp.h"

#include <vexa/gui/nodes/scenenode.h>

#include <SFML/Graphics/Shape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using Button = pod::ColoredPushButton;

const sf::Color kNormal(10, 20, 30), kHover(40, 50, 60), kPressed(70, 80, 90),
    kToggled(100, 110, 120);

class ColoredPushButtonTest : public ::testing::Test {
protected:
  void SetUp() override { testapp::headlessRegistry(); }

  Button* make(bool toggleable) {
    const auto flags = vexa::ShapeShifter::TextFlag | vexa::ShapeShifter::ShapeFlag;
    if (!toggleable)
      return root_.makeChild<Button>(flags, vexa::ShapeShifter::Rectangle, Button::Colour(kNormal),
                                     Button::Colour(kHover), Button::Colour(kPressed));
    return root_.makeChild<Button>(flags, vexa::ShapeShifter::Rectangle, Button::Colour(kNormal),
                                   Button::Colour(kHover), Button::Colour(kPressed),
                                   Button::Colour(kToggled));
  }
  static sf::Color fill(Button* button) { return button->shape().getFillColor(); }
  static void click(Button* button) {
    button->onTouchDown({0.f, 0.f});
    EXPECT_EQ(fill(button), kPressed);
    button->onTouchUp({0.f, 0.f});
  }

  vexa::SceneNode root_;
};

TEST_F(ColoredPushButtonTest, HoverPressAndReleaseOfAnUntoggledButton) {
  // A plain button is never toggled on.
  Button* plain = make(false);
  EXPECT_EQ(fill(plain), kNormal);
  plain->setToggled(true);
  EXPECT_FALSE(plain->isToggledOn());

  Button* button = make(true);
  EXPECT_EQ(fill(button), kNormal);
  sf::Color fillInCallback;
  button->setCallback([&] { fillInCallback = fill(button); });
  button->onHoverEnter();
  EXPECT_EQ(fill(button), kHover);
  click(button);
  // The callback already sees the colour of the released button.
  EXPECT_EQ(fillInCallback, kNormal);
  EXPECT_EQ(fill(button), kNormal);
}

TEST_F(ColoredPushButtonTest, AToggledButtonKeepsItsColourUnderTheMouse) {
  Button* button = make(true);
  button->setToggled(true);
  button->onHoverEnter();
  EXPECT_EQ(fill(button), kToggled);
  click(button);
  EXPECT_EQ(fill(button), kToggled);
  button->toggle();
  EXPECT_EQ(fill(button), kNormal);

  // A callback that toggles shows the new state at once.
  button->setCallback([button] { button->toggle(); });
  for (bool on : {true, false}) {
    click(button);
    EXPECT_EQ(button->isToggledOn(), on);
    EXPECT_EQ(fill(button), on ? kToggled : kNormal);
  }
}

// Text stays readable on every fill: white on the dark ones, dark on the
// light orange of a toggled side-panel or menu button.
TEST_F(ColoredPushButtonTest, TextIsDarkOnLightFillsAndWhiteOnDarkOnes) {
  const auto flags = vexa::ShapeShifter::TextFlag | vexa::ShapeShifter::ShapeFlag;
  const sf::Color orange(254, 175, 73);
  Button* button = root_.makeChild<Button>(flags, vexa::ShapeShifter::Rectangle,
                                           Button::Colour(sf::Color(70, 70, 70)),
                                           Button::Colour(sf::Color(85, 85, 85)),
                                           Button::Colour(orange), Button::Colour(orange));
  const auto luminance = [](const sf::Color& c) { return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b; };
  for (bool toggled : {true, false}) {
    button->setToggled(toggled);
    const double contrast =
        std::abs(luminance(fill(button)) - luminance(button->text().getFillColor()));
    EXPECT_GT(contrast, 100.0) << (toggled ? "toggled" : "plain");
  }
}

} // namespace
