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

class GuiFactoryDisplay : public ::testing::Test {
protected:
  void SetUp() override { testapp::app(); }
  const pod::GuiFactory& factory() const {
    return dynamic_cast<const pod::GuiFactory&>(vexa::guiFactory());
  }
  vexa::SceneNode root_;
};

TEST_F(GuiFactoryDisplay, WidgetsAreAttachedInTheHouseStyleAndButtonsInTheirColours) {
  using B = pod::ColoredPushButton;
  const pod::GuiFactory& f = factory();
  B* plain = f.createWideButton(&root_);
  B* toggle = f.createToggleButton(&root_);
  B* teams[2] = {f.createTeamToggleButton(&root_, 0), f.createTeamToggleButton(&root_, 1)};
  B* big = f.createBigButton(&root_);
  vexa::ShapeShifter* widgets[] = {plain, toggle, teams[0], teams[1], big,
                                   f.createButton(&root_), f.createLabel(&root_),
                                   f.createTextBox(&root_)};
  EXPECT_EQ(root_.children().size(), 8u);
  for (vexa::ShapeShifter* widget : widgets) {
    EXPECT_EQ(widget->text().getFont(), &vexa::resourceManager().font(pod::FontId::Main));
    EXPECT_EQ(widget->layoutMode(), vexa::ShapeShifter::FixedSize);
    EXPECT_EQ(widget->text().getCharacterSize(), widget == big ? 25u : 12u);
  }
  EXPECT_FALSE(plain->isToggleable());
  EXPECT_TRUE(toggle->isToggleable());
  EXPECT_EQ(B::toColor(plain->normalColour()), sf::Color(70, 70, 70));
  EXPECT_EQ(B::toColor(toggle->toggledColour()), sf::Color(254, 175, 73));
  for (int team : {0, 1}) {
    EXPECT_TRUE(teams[team]->isToggleable());
    EXPECT_EQ(B::toColor(teams[team]->toggledColour()), pod::GuiFactory::teamColours(team).toggled);
  }
  EXPECT_NE(pod::GuiFactory::teamColours(0).toggled, pod::GuiFactory::teamColours(1).toggled);
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
