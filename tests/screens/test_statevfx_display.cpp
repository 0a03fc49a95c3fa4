#include "app/coloredpushbutton.h"
#include "screens/statevfx.h"
#include "layoutcheck.h"
#include "testapp.h"

#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <memory>

namespace {

qutils::Vec2 centreOf(const pod::ColoredPushButton* button) {
  const sf::FloatRect b = button->globalBounds();
  return {b.left + b.width / 2.f, b.top + b.height / 2.f};
}

// A showcase of its own for every test, on the game's components.
class StateVFXDisplay : public ::testing::Test {
protected:
  void SetUp() override {
    testapp::app();
    vfx_ = std::make_unique<pod::StateVFX>();
    ASSERT_TRUE(vfx_->init());
    ASSERT_TRUE(vfx_->prepare());
    window_ = vexa::graphics().window();
    const sf::Vector2u size = window_->getSize();
    centre_ = {static_cast<float>(size.x) / 2.f, static_cast<float>(size.y) / 2.f};
  }
  void TearDown() override { vexa::inputManager().update(); }

  // One update step with the left button held down at point.
  void holdAt(const qutils::Vec2& point) {
    vexa::InputManager& input = vexa::inputManager();
    input.update();
    if (!input.isHeld("touch"))
      input.press("touch");
    vfx_->step(0.05f, point);
  }
  void letGo() {
    vexa::inputManager().release("touch");
    vexa::inputManager().update();
  }

  // A click through the GUI, as the mouse gives it.
  void click(pod::ColoredPushButton* button) {
    const qutils::Vec2 at = centreOf(button);
    vfx_->sceneGraph().updateHover(at);
    vfx_->sceneGraph().touchDown(at);
    vfx_->sceneGraph().touchUp(at);
    vfx_->sceneGraph().updateHover({-100.f, -100.f});
  }

  sf::Image drawnFrame() {
    window_->clear(sf::Color::Black);
    vfx_->draw(1.f / 60.f, 1.f);
    sf::Texture texture;
    texture.create(window_->getSize().x, window_->getSize().y);
    texture.update(*window_);
    window_->display();
    return texture.copyToImage();
  }

  std::unique_ptr<pod::StateVFX> vfx_;
  sf::RenderWindow* window_ = nullptr;
  qutils::Vec2 centre_;
};

bool lit(const sf::Color& c) { return c.r + c.g + c.b > 60; }

} // namespace

TEST_F(StateVFXDisplay, ShieldAndGlowPagesHideTheDemoButtonAndDrawNoParametersNorControls) {
  for (int page = 0; page < 6; ++page) {
    ASSERT_EQ(vfx_->page(), page);
    const bool parameters = page != 3 && page != 5;
    EXPECT_EQ(vfx_->demoButton()->isVisible(), parameters) << "page " << page;
    const sf::Image frame = drawnFrame();
    // Beside the figures of the parameters panel, and in the strip that the
    // retracted controls panel leaves at the top edge.
    EXPECT_EQ(lit(frame.getPixel(145, 50)), parameters) << "page " << page;
    EXPECT_EQ(lit(frame.getPixel(200, 12)), parameters) << "page " << page;
    click(vfx_->nextButton());
  }
  EXPECT_EQ(vfx_->page(), 0);
  click(vfx_->previousButton());
  EXPECT_EQ(vfx_->page(), 5);
  EXPECT_FALSE(vfx_->demoButton()->isVisible());
}

TEST_F(StateVFXDisplay, HoldingTheLeftButtonOnAButtonLeavesTheParametersAlone) {
  // A first touch beside the buttons stops the demo at known values.
  holdAt(centre_ + qutils::Vec2(100.f, 0.f));
  letGo();
  ASSERT_FALSE(vfx_->controls().autoDemo());
  ASSERT_FLOAT_EQ(vfx_->controls().intensity(), 0.25f);

  for (pod::ColoredPushButton* button :
       {vfx_->menuButton(), vfx_->previousButton(), vfx_->nextButton(), vfx_->demoButton()}) {
    const float idle = vfx_->controls().idleTimer();
    holdAt(centreOf(button));
    holdAt(centreOf(button));
    EXPECT_EQ(vfx_->controls().direction(), 0.f) << button->text().getString().toAnsiString();
    EXPECT_FLOAT_EQ(vfx_->controls().intensity(), 0.25f);
    EXPECT_LT(vfx_->controls().idleTimer(), idle);
    letGo();
  }
  EXPECT_EQ(vfx_->page(), 0);

  // Anywhere else the held button steers.
  holdAt(centre_ + qutils::Vec2(0.f, 200.f));
  EXPECT_NEAR(vfx_->controls().direction(), 90.f, 1e-3f);
  EXPECT_FLOAT_EQ(vfx_->controls().intensity(), 0.5f);
  EXPECT_FLOAT_EQ(vfx_->controls().idleTimer(), 10.f - 0.05f);
  letGo();
  // So does a click pressed and released within one update step.
  vexa::inputManager().press("touch");
  vexa::inputManager().release("touch");
  vfx_->step(0.05f, centre_ + qutils::Vec2(-400.f, 0.f));
  EXPECT_NEAR(vfx_->controls().direction(), 180.f, 1e-3f);
  EXPECT_FLOAT_EQ(vfx_->controls().intensity(), 1.f);
}

TEST_F(StateVFXDisplay, EscapeReturnsToTheMenuAndTheShowcaseKeepsItsPage) {
  testapp::states().goToVFX();
  click(vfx_->nextButton());
  click(vfx_->nextButton());
  vexa::InputManager& input = vexa::inputManager();
  input.update();
  input.press("escape");
  input.release("escape");
  vfx_->step(0.05f, {-100.f, -100.f});
  EXPECT_EQ(testapp::states().currentIndex(), 0u);
  EXPECT_EQ(vfx_->page(), 2);
}

// At every window size the showcase's buttons, title and panels keep apart
// and inside the window ("Automatic demo" belongs to the controls panel, the
// title to its bar).
TEST_F(StateVFXDisplay, EveryWindowSizeLaysTheShowcaseOutTidily) {
  for (const sf::Vector2u& size : layoutcheck::windowSizes()) {
    window_->setView(sf::View(
        sf::FloatRect(0.f, 0.f, static_cast<float>(size.x), static_cast<float>(size.y))));
    vfx_->updateLayout();
    for (int frame = 0; frame < 120; ++frame)
      vfx_->draw(1.f / 60.f, 1.f);
    std::vector<layoutcheck::Box> boxes;
    for (const auto& [name, rect] : vfx_->panelBoxes())
      boxes.push_back({name, rect});
    std::vector<layoutcheck::Box> widgets;
    layoutcheck::addVisibleWidgets(vfx_->sceneGraph().root(), widgets);
    for (const layoutcheck::Box& box : widgets)
      if (box.name != "Automatic demo")
        boxes.push_back(box);
    layoutcheck::expectTidy("showcase", boxes, size);
  }
  const sf::Vector2u size = window_->getSize();
  vexa::graphics().onResize(size.x, size.y);
  vfx_->updateLayout();
}
