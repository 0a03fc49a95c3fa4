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
