#include "support.h"

#include <vexa/gui/drawables/shapeshifter.h>
#include <vexa/gui/nodes/radiobuttonnode.h>
#include <vexa/gui/nodes/shapeshifterpushbuttonnode.h>
#include <vexa/gui/radiobuttongroup.h>
#include <vexa/gui/scenegraph.h>

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>

using namespace vexa;

namespace {

using Log = std::vector<std::string>;

sf::Vector2f rectSize(ShapeShifter& s) {
  return static_cast<sf::RectangleShape&>(s.shape()).getSize();
}

// A sprite of w x h without a texture: its bounds come from the rectangle.
void giveSprite(ShapeShifter& s, int w, int h) {
  s.sprite().setTextureRect({0, 0, w, h});
  s.onSpriteChanged();
}

class LayoutOrder : public ShapeShifter {
public:
  LayoutOrder() : ShapeShifter(TextFlag | SpriteFlag | ShapeFlag, Rectangle) {}
  void layoutShape() override { log.push_back("shape"); }
  void layoutSprite() override { log.push_back("sprite"); }
  void layoutText() override { log.push_back("text"); }
  Log log;
};

} // namespace

TEST(ShapeShifter, FitToContentAddsTwoMarginsAroundTheSprite) {
  ShapeShifter s(ShapeShifter::SpriteFlag | ShapeShifter::ShapeFlag, ShapeShifter::Rectangle);
  EXPECT_EQ(s.layoutMode(), ShapeShifter::FitToContent);
  s.sprite().setPosition(100.f, 40.f);
  giveSprite(s, 40, 20);
  s.setMargin(5.f, 5.f);
  EXPECT_EQ(rectSize(s), sf::Vector2f(50.f, 30.f));
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(25.f, 15.f));
  // The sprite is centred on its origin, the shape on the sprite's position.
  EXPECT_EQ(s.shape().getPosition(), sf::Vector2f(100.f, 40.f));

  s.setAlignment(ShapeShifter::Left);
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(0.f, 15.f));
  EXPECT_EQ(s.shape().getPosition(), sf::Vector2f(95.f, 40.f));
  EXPECT_EQ(s.sprite().getOrigin(), sf::Vector2f(0.f, 10.f));

  s.setAlignment(ShapeShifter::Right);
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(50.f, 15.f));
  EXPECT_EQ(s.shape().getPosition(), sf::Vector2f(105.f, 40.f));
}

TEST(ShapeShifter, FixedSizeAnchorsTheShapeByAlignment) {
  ShapeShifter s(ShapeShifter::ShapeFlag, ShapeShifter::Rectangle);
  s.setFixedSize({200.f, 20.f});
  EXPECT_EQ(s.layoutMode(), ShapeShifter::FixedSize);
  EXPECT_EQ(rectSize(s), sf::Vector2f(200.f, 20.f));
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(100.f, 10.f));
  EXPECT_EQ(s.globalBounds({10.f, 10.f}), sf::FloatRect(-90.f, 0.f, 200.f, 20.f));

  s.setAlignment(ShapeShifter::Right);
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(200.f, 10.f));
  s.setAlignment(ShapeShifter::Left);
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(0.f, 10.f));

  // Manual layout leaves the shape where it is.
  s.setLayoutMode(ShapeShifter::Manual);
  s.setAlignment(ShapeShifter::Center);
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(0.f, 10.f));
}

TEST(ShapeShifter, FittingNeedsAShape) {
  ShapeShifter s(ShapeShifter::SpriteFlag, ShapeShifter::Rectangle);
  s.setLayoutMode(ShapeShifter::FixedSize);
  s.setLayoutMode(ShapeShifter::FitToContent);
  EXPECT_EQ(s.layoutMode(), ShapeShifter::FixedSize);
}

TEST(ShapeShifter, LayoutOrderDependsOnTheMode) {
  LayoutOrder s;
  s.updateLayout();
  EXPECT_EQ(s.log, (Log{"text", "sprite", "shape"}));
  s.log.clear();
  s.setLayoutMode(ShapeShifter::FixedSize);
  EXPECT_EQ(s.log, (Log{"shape", "sprite", "text"}));
}

TEST(ShapeShifter, BoundsPreferShapeThenSpriteThenText) {
  ShapeShifter empty(0, ShapeShifter::Rectangle);
  EXPECT_EQ(empty.globalBounds({3.f, 4.f}), sf::FloatRect(3.f, 4.f, 0.f, 0.f));

  ShapeShifter spriteOnly(ShapeShifter::SpriteFlag, ShapeShifter::Rectangle);
  spriteOnly.sprite().setTextureRect({0, 0, 8, 6});
  EXPECT_EQ(spriteOnly.globalBounds({1.f, 1.f}), sf::FloatRect(1.f, 1.f, 8.f, 6.f));

  ShapeShifter circle(ShapeShifter::SpriteFlag | ShapeShifter::ShapeFlag, ShapeShifter::Circle);
  circle.setLayoutMode(ShapeShifter::Manual);
  circle.setShapeSize({7.f, 99.f});
  EXPECT_FLOAT_EQ(static_cast<sf::CircleShape&>(circle.shape()).getRadius(), 7.f);
  EXPECT_EQ(static_cast<sf::CircleShape&>(circle.shape()).getPointCount(), 30u);
  EXPECT_NEAR(circle.globalBounds({0.f, 0.f}).height, 14.f, 1e-3f);
}

TEST(ShapeShifter, Preconditions) {
  AssertRecorder recorder;
  ShapeShifter bad(ShapeShifter::ShapeFlag, 2);
  EXPECT_TRUE(recorder.fired("false"));
  EXPECT_FALSE(bad.hasShape());

  ShapeShifter s(ShapeShifter::ShapeFlag, ShapeShifter::Rectangle);
  s.setLayoutMode(ShapeShifter::Manual);
  s.setMargin(-1.f, 0.f);
  s.setMargin(0.f, -1.f);
  EXPECT_EQ(recorder.count(), 3u);
  EXPECT_TRUE(recorder.fired("(margin.x >= 0.f) && (margin_.y >= 0.f)"));

  s.setShapeSize({-1.f, 2.f});
  EXPECT_TRUE(recorder.fired("size.x >= 0.f && size.y >= 0.f"));

  // Fitting with nothing to fit.
  ShapeShifter shapeOnly(ShapeShifter::ShapeFlag, ShapeShifter::Rectangle);
  shapeOnly.updateLayout();
  EXPECT_TRUE(recorder.fired("hasSprite_ || hasText_"));

  // Text on a fixed size needs something to sit on.
  ShapeShifter textOnly(ShapeShifter::TextFlag, ShapeShifter::Rectangle);
  textOnly.setLayoutMode(ShapeShifter::FixedSize);
  EXPECT_TRUE(recorder.fired("text_ && (hasShape_ || hasSprite_)"));

  // No text: setString does nothing.
  const std::size_t before = recorder.count();
  ShapeShifter none(ShapeShifter::ShapeFlag, ShapeShifter::Rectangle);
  none.setString("ignored");
  EXPECT_EQ(recorder.count(), before);
}

TEST_F(WithComponents, ShapeShifterButtonHitsItsShapeAndClicks) {
  SceneGraph graph;
  auto* button = graph.root().makeChild<ShapeShifterPushButtonNode>(
      ShapeShifter::ShapeFlag, ShapeShifter::Rectangle);
  button->setFixedSize({100.f, 20.f});
  button->setPosition(200.f, 100.f);
  EXPECT_EQ(button->globalBounds(), sf::FloatRect(150.f, 90.f, 100.f, 20.f));

  int clicks = 0;
  button->setCallback([&] { ++clicks; });
  graph.updateHover({160.f, 95.f});
  EXPECT_TRUE(button->isHovered());
  graph.touchDown({160.f, 95.f});
  graph.touchUp({160.f, 95.f});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(button->hasFocus());

  graph.updateHover({149.f, 95.f});
  EXPECT_FALSE(button->isHovered());
}

TEST_F(WithComponents, ACallbackMayDestroyItsOwnButton) {
  SceneGraph graph;
  auto* button = graph.root().makeChild<ShapeShifterPushButtonNode>(
      ShapeShifter::ShapeFlag, ShapeShifter::Rectangle);
  button->setFixedSize({100.f, 20.f});
  button->setPosition(50.f, 10.f);
  bool ran = false;
  button->setCallback([&] {
    ran = true;
    graph.clear();
  });
  graph.updateHover({50.f, 10.f});
  graph.touchDown({50.f, 10.f});
  graph.touchUp({50.f, 10.f});
  EXPECT_TRUE(ran);
  EXPECT_EQ(graph.root().child(0), nullptr);
}

namespace {

class Radio : public RadioButtonNode {
public:
  Radio(SceneNode* parent, RadioButtonGroup& group, Log& log, std::string name)
      : RadioButtonNode(parent, group), log_(log), name_(std::move(name)) {}
  bool hitTest(const qutils::Vec2& p, bool& inside) const override {
    const qutils::Vec2 o = worldPosition();
    inside = p.x >= o.x && p.x < o.x + 10.f && p.y >= o.y && p.y < o.y + 10.f;
    return true;
  }
  // Each hook also notes the group's selection at the time it runs.
  void onSelected() override { add(".selected@"); }
  void onDeselected() override { add(".deselected@"); }

private:
  void add(const std::string& what) {
    log_.push_back(name_ + what + std::to_string(getGroup().selectedIndex()));
  }

  Log& log_;
  std::string name_;
};

class RadioTest : public WithComponents {
protected:
  void SetUp() override {
    WithComponents::SetUp();
    for (int i = 0; i < 3; ++i) {
      buttons[i] = graph.root().makeChild<Radio>(group, log, std::to_string(i));
      buttons[i]->setPosition(20.f * static_cast<float>(i), 0.f);
    }
  }
  void addAll() {
    for (Radio* b : buttons)
      group.addButton(b);
  }

  SceneGraph graph;
  RadioButtonGroup group;
  Log log;
  Radio* buttons[3] = {};
};

} // namespace

TEST_F(RadioTest, FirstButtonAddedIsSelectedSilently) {
  EXPECT_EQ(group.selected(), nullptr);
  addAll();
  EXPECT_EQ(group.selected(), buttons[0]);
  EXPECT_TRUE(buttons[0]->isSelected());
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(group.addButton(buttons[1]));
  EXPECT_EQ(group.size(), 3u);
}

TEST_F(RadioTest, HooksRunInListOrderBeforeTheIndexChanges) {
  addAll();
  group.select(2);
  // While the hooks run, button 0 is still the selected one.
  EXPECT_EQ(log, (Log{"0.deselected@0", "2.selected@0"}));
  EXPECT_TRUE(buttons[2]->isSelected());
  log.clear();
  group.select(buttons[0]);
  EXPECT_EQ(log, (Log{"0.selected@2", "2.deselected@2"}));
  log.clear();
  group.select(0);
  EXPECT_TRUE(log.empty());

  group.deselect();
  EXPECT_EQ(log, (Log{"0.deselected@0"}));
  EXPECT_EQ(group.selected(), nullptr);
  EXPECT_EQ(group.selectedIndex(), -1);
  log.clear();
  group.deselect();
  group.select(1);
  EXPECT_EQ(log, (Log{"1.selected@-1"}));
}

TEST_F(RadioTest, ClickSelectsAndTakesFocus) {
  addAll();
  graph.updateHover({45.f, 5.f});
  graph.touchDown({45.f, 5.f});
  graph.touchUp({45.f, 5.f});
  EXPECT_EQ(group.selected(), buttons[2]);
  EXPECT_TRUE(buttons[2]->hasFocus());
  EXPECT_EQ(log, (Log{"0.deselected@0", "2.selected@0"}));

  // Clicking the selected one runs no hook.
  log.clear();
  graph.touchDown({45.f, 5.f});
  graph.touchUp({45.f, 5.f});
  EXPECT_TRUE(log.empty());
}

TEST_F(RadioTest, Preconditions) {
  AssertRecorder recorder;
  RadioButtonGroup other;
  EXPECT_FALSE(other.addButton(buttons[0]));
  EXPECT_TRUE(recorder.fired("button && (&button->getGroup() == this)"));

  group.addButton(buttons[0]);
  group.select(3);
  group.select(-1);
  EXPECT_TRUE(recorder.fired("newSelected >= 0 && newSelected < buttons_.size()"));
  group.select(buttons[1]);
  EXPECT_TRUE(recorder.fired("false"));
  group.select(static_cast<RadioButtonNode*>(nullptr));
  EXPECT_TRUE(recorder.fired("selected"));
  EXPECT_EQ(group.selected(), buttons[0]);

  group.clear();
  EXPECT_EQ(group.selected(), nullptr);
  EXPECT_EQ(group.size(), 0u);
}
