#include "app/coloredpushbutton.h"
#include "testapp.h"

#include <vexa/gui/nodes/scenenode.h>

#include <SFML/Graphics/Shape.hpp>
#include <gtest/gtest.h>

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

TEST_F(ColoredPushButtonTest, ColourModesOverrideTheRefresh) {
  Button* button = make(true);
  button->setToggled(true);
  button->setColourMode(Button::AlwaysHover);
  button->refreshColour();
  EXPECT_EQ(fill(button), kHover);
  button->setColourMode(Button::AlwaysPressed);
  button->toggle();
  EXPECT_EQ(fill(button), kPressed);
  button->setColourMode(Button::Automatic);
  EXPECT_EQ(fill(button), kNormal);
}

} // namespace
