#include "app/coloredpushbutton.h"
#include "testapp.h"

#include <vexa/gui/nodes/scenenode.h>

#include <SFML/Graphics/Shape.hpp>
#include <gtest/gtest.h>

namespace {

using Colour = pod::ColoredPushButton::Colour;

const sf::Color kNormal(10, 20, 30, 255);
const sf::Color kHover(40, 50, 60, 255);
const sf::Color kPressed(70, 80, 90, 255);
const sf::Color kToggled(100, 110, 120, 255);

class ColoredPushButtonTest : public ::testing::Test {
protected:
  void SetUp() override { testapp::headlessRegistry(); }

  pod::ColoredPushButton* makeToggleable() {
    return root_.makeChild<pod::ColoredPushButton>(
        vexa::ShapeShifter::TextFlag | vexa::ShapeShifter::ShapeFlag,
        vexa::ShapeShifter::Rectangle,
        Colour(kNormal), Colour(kHover), Colour(kPressed), Colour(kToggled));
  }
  pod::ColoredPushButton* makePlain() {
    return root_.makeChild<pod::ColoredPushButton>(
        vexa::ShapeShifter::TextFlag | vexa::ShapeShifter::ShapeFlag,
        vexa::ShapeShifter::Rectangle,
        Colour(kNormal), Colour(kHover), Colour(kPressed));
  }
  static sf::Color fill(pod::ColoredPushButton* button) {
    return button->shape().getFillColor();
  }

  vexa::SceneNode root_;
};

TEST_F(ColoredPushButtonTest, ConstructionShowsTheNormalColour) {
  pod::ColoredPushButton* toggleable = makeToggleable();
  pod::ColoredPushButton* plain = makePlain();
  EXPECT_EQ(fill(toggleable), kNormal);
  EXPECT_EQ(fill(plain), kNormal);
  EXPECT_TRUE(toggleable->isToggleable());
  EXPECT_FALSE(plain->isToggleable());
  EXPECT_EQ(pod::ColoredPushButton::toColor(plain->toggledColour()), sf::Color::Black);
}

TEST_F(ColoredPushButtonTest, HoverPressAndReleaseOfAnUntoggledButton) {
  pod::ColoredPushButton* button = makeToggleable();
  int clicks = 0;
  sf::Color fillInCallback;
  button->setCallback([&] {
    ++clicks;
    fillInCallback = fill(button);
  });

  button->onHoverEnter();
  EXPECT_EQ(fill(button), kHover);
  button->onTouchDown({0.f, 0.f});
  EXPECT_EQ(fill(button), kPressed);
  button->onTouchUp({0.f, 0.f});
  EXPECT_EQ(clicks, 1);
  // The callback already sees the colour of the released button.
  EXPECT_EQ(fillInCallback, kNormal);
  EXPECT_EQ(fill(button), kNormal);
  button->onHoverLeave();
  EXPECT_EQ(fill(button), kNormal);
}

TEST_F(ColoredPushButtonTest, AToggledButtonKeepsItsColourUnderTheMouse) {
  pod::ColoredPushButton* button = makeToggleable();
  button->setToggled(true);
  EXPECT_TRUE(button->isToggledOn());
  EXPECT_EQ(fill(button), kToggled);
  button->onHoverEnter();
  EXPECT_EQ(fill(button), kToggled);
  button->onHoverLeave();
  EXPECT_EQ(fill(button), kToggled);
  button->onTouchDown({0.f, 0.f});
  EXPECT_EQ(fill(button), kPressed);
  button->onTouchUp({0.f, 0.f});
  EXPECT_EQ(fill(button), kToggled);

  button->toggle();
  EXPECT_FALSE(button->isToggledOn());
  EXPECT_EQ(fill(button), kNormal);
}

TEST_F(ColoredPushButtonTest, ACallbackThatTogglesShowsTheNewState) {
  pod::ColoredPushButton* button = makeToggleable();
  button->setCallback([button] { button->toggle(); });
  button->onHoverEnter();
  button->onTouchDown({0.f, 0.f});
  button->onTouchUp({0.f, 0.f});
  EXPECT_TRUE(button->isToggledOn());
  EXPECT_EQ(fill(button), kToggled);
  button->onTouchDown({0.f, 0.f});
  button->onTouchUp({0.f, 0.f});
  EXPECT_FALSE(button->isToggledOn());
  EXPECT_EQ(fill(button), kNormal);
}

TEST_F(ColoredPushButtonTest, ColourModesOverrideTheRefresh) {
  pod::ColoredPushButton* button = makeToggleable();
  button->setToggled(true);
  button->setColourMode(pod::ColoredPushButton::AlwaysHover);
  EXPECT_EQ(fill(button), kHover);
  button->refreshColour();
  EXPECT_EQ(fill(button), kHover);
  button->setColourMode(pod::ColoredPushButton::AlwaysPressed);
  button->toggle();
  EXPECT_EQ(fill(button), kPressed);
  button->setColourMode(pod::ColoredPushButton::Automatic);
  EXPECT_EQ(fill(button), kNormal);
}

TEST_F(ColoredPushButtonTest, APlainButtonIsNeverToggledOn) {
  pod::ColoredPushButton* button = makePlain();
  button->setToggled(true);
  EXPECT_FALSE(button->isToggledOn());
}

} // namespace
