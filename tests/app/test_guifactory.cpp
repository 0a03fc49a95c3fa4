#include "app/guifactory.h"
#include "app/podresourcemanager.h"
#include "testapp.h"

#include <vexa/core/components.h>
#include <vexa/core/resourcemanager.h>
#include <vexa/gui/nodes/scenenode.h>

#include <SFML/Graphics/Shape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <gtest/gtest.h>

namespace {

struct Expected {
  float width;
  float height;
  unsigned textSize;
};

void expectHouseStyle(vexa::ShapeShifter& widget, const Expected& expected) {
  const sf::FloatRect shape = widget.shape().getLocalBounds();
  const float outline = widget.shape().getOutlineThickness();
  EXPECT_FLOAT_EQ(shape.width - 2.f * outline, expected.width);
  EXPECT_FLOAT_EQ(shape.height - 2.f * outline, expected.height);
  EXPECT_EQ(widget.text().getCharacterSize(), expected.textSize);
  EXPECT_EQ(widget.text().getFillColor(), sf::Color::White);
  EXPECT_EQ(widget.text().getFont(), &vexa::resourceManager().font(pod::FontId::Main));
  EXPECT_EQ(widget.layoutMode(), vexa::ShapeShifter::FixedSize);
  EXPECT_EQ(widget.textAlignment(), vexa::ShapeShifter::Center);
  EXPECT_EQ(widget.margin(), qutils::Vec2(5.f, 5.f));
}

void expectColours(const pod::ColoredPushButton& button, const sf::Color& normal,
                   const sf::Color& hover, const sf::Color& pressed) {
  using B = pod::ColoredPushButton;
  EXPECT_EQ(B::toColor(button.normalColour()), normal);
  EXPECT_EQ(B::toColor(button.hoverColour()), hover);
  EXPECT_EQ(B::toColor(button.pressedColour()), pressed);
}

class GuiFactoryDisplay : public ::testing::Test {
protected:
  void SetUp() override { testapp::app(); }
  const pod::GuiFactory& factory() const {
    return dynamic_cast<const pod::GuiFactory&>(vexa::guiFactory());
  }
  vexa::SceneNode root_;
};

TEST_F(GuiFactoryDisplay, ButtonsComeInTheirSizesAndColours) {
  const sf::Color darkGrey(70, 70, 70), grey(85, 85, 85), orange(254, 175, 73);

  pod::ColoredPushButton* wide = factory().createWideButton(&root_);
  expectHouseStyle(*wide, {300.f, 20.f, 12});
  expectColours(*wide, darkGrey, grey, orange);
  EXPECT_FALSE(wide->isToggleable());

  pod::ColoredPushButton* button = factory().createButton(&root_);
  expectHouseStyle(*button, {200.f, 20.f, 12});
  expectColours(*button, darkGrey, grey, orange);

  pod::ColoredPushButton* big = factory().createBigButton(&root_);
  expectHouseStyle(*big, {200.f, 40.f, 25});
  expectColours(*big, darkGrey, grey, orange);
  EXPECT_FLOAT_EQ(big->shape().getOutlineThickness(), 1.f);
  EXPECT_EQ(big->shape().getOutlineColor(), sf::Color::White);

  pod::ColoredPushButton* toggle = factory().createToggleButton(&root_);
  expectHouseStyle(*toggle, {50.f, 20.f, 12});
  expectColours(*toggle, darkGrey, grey, orange);
  EXPECT_TRUE(toggle->isToggleable());
  EXPECT_EQ(pod::ColoredPushButton::toColor(toggle->toggledColour()), orange);

  // Every creator attaches what it makes.
  EXPECT_EQ(root_.children().size(), 4u);
  EXPECT_EQ(root_.child(2), big);
}

TEST_F(GuiFactoryDisplay, TeamButtonsWearTheirTeamsColours) {
  for (int team : {0, 1}) {
    pod::ColoredPushButton* button = factory().createTeamToggleButton(&root_, team);
    expectHouseStyle(*button, {200.f, 20.f, 12});
    const pod::ButtonColours& colours = pod::GuiFactory::teamColours(team);
    expectColours(*button, colours.normal, colours.hover, colours.pressed);
    EXPECT_EQ(pod::ColoredPushButton::toColor(button->toggledColour()), colours.toggled);
    EXPECT_TRUE(button->isToggleable());
  }
  EXPECT_NE(pod::GuiFactory::teamColours(0).toggled, pod::GuiFactory::teamColours(1).toggled);
}

TEST_F(GuiFactoryDisplay, LabelsAndTextBoxes) {
  vexa::ShapeShifterLabel* label = factory().createLabel(&root_);
  expectHouseStyle(*label, {150.f, 20.f, 12});
  EXPECT_EQ(label->shape().getFillColor(), sf::Color(70, 70, 70, 128));
  EXPECT_TRUE(label->text().getString().isEmpty());

  vexa::ShapeShifterTextBoxNode* box = factory().createTextBox(&root_);
  expectHouseStyle(*box, {200.f, 20.f, 12});
  EXPECT_EQ(box->shape().getFillColor(), sf::Color::Black);
}

TEST_F(GuiFactoryDisplay, ResizingKeepsTheTextCentred) {
  pod::ColoredPushButton* button = factory().createButton(&root_);
  button->setString("Swap");
  pod::GuiFactory::resize(*button, 50.f, 20.f);
  button->setPosition(400.f, 300.f);
  const sf::FloatRect bounds = button->globalBounds();
  EXPECT_FLOAT_EQ(bounds.width, 50.f);
  EXPECT_FLOAT_EQ(bounds.left + bounds.width / 2.f, 400.f);
  EXPECT_FLOAT_EQ(bounds.top + bounds.height / 2.f, 300.f);
}

} // namespace
