#include "support.h"

#include <vexa/gui/drawables/shapeshifter.h>
#include <vexa/gui/nodes/radiobuttonnode.h>
#include <vexa/gui/nodes/shapeshifterpushbuttonnode.h>
#include <vexa/gui/radiobuttongroup.h>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include <cmath>

using namespace vexa;

namespace {

using Log = std::vector<std::string>;

sf::Vector2f rectSize(ShapeShifter& s) {
  return static_cast<sf::RectangleShape&>(s.shape()).getSize();
}

} // namespace

TEST(ShapeShifter, FitToContentAddsTwoMarginsAroundTheSprite) {
  ShapeShifter s(ShapeShifter::SpriteFlag | ShapeShifter::ShapeFlag, ShapeShifter::Rectangle);
  s.sprite().setPosition(100.f, 40.f);
  s.sprite().setTextureRect({0, 0, 40, 20});  // no texture needed for bounds
  s.onSpriteChanged();
  s.setMargin(5.f, 5.f);
  EXPECT_EQ(rectSize(s), sf::Vector2f(50.f, 30.f));
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(25.f, 15.f));
  // The sprite is centred on its origin, the shape on the sprite's position.
  EXPECT_EQ(s.shape().getPosition(), sf::Vector2f(100.f, 40.f));

  s.setAlignment(ShapeShifter::Left);
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(0.f, 15.f));
  EXPECT_EQ(s.shape().getPosition(), sf::Vector2f(95.f, 40.f));
  EXPECT_EQ(s.sprite().getOrigin(), sf::Vector2f(0.f, 10.f));
}

TEST(ShapeShifter, FixedSizeAnchorsTheShapeByAlignment) {
  ShapeShifter s(ShapeShifter::ShapeFlag, ShapeShifter::Rectangle);
  s.setFixedSize({200.f, 20.f});
  EXPECT_EQ(rectSize(s), sf::Vector2f(200.f, 20.f));
  EXPECT_EQ(s.globalBounds({10.f, 10.f}), sf::FloatRect(-90.f, 0.f, 200.f, 20.f));

  s.setAlignment(ShapeShifter::Right);
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(200.f, 10.f));

  // Manual layout leaves the shape where it is.
  s.setLayoutMode(ShapeShifter::Manual);
  s.setAlignment(ShapeShifter::Center);
  EXPECT_EQ(s.shape().getOrigin(), sf::Vector2f(200.f, 10.f));
}

TEST_F(WithComponents, ShapeShifterButtonHitsItsShapeAndMayDieInItsCallback) {
  SceneGraph graph;
  auto* button = graph.root().makeChild<ShapeShifterPushButtonNode>(
      ShapeShifter::ShapeFlag, ShapeShifter::Rectangle);
  button->setFixedSize({100.f, 20.f});
  button->setPosition(200.f, 100.f);
  EXPECT_EQ(button->globalBounds(), sf::FloatRect(150.f, 90.f, 100.f, 20.f));
  graph.updateHover({149.f, 95.f});
  EXPECT_FALSE(button->isHovered());

  bool ran = false;
  button->setCallback([&] {
    ran = true;
    graph.clear();
  });
  click(graph, {160.f, 95.f});
  EXPECT_TRUE(ran);
  EXPECT_EQ(graph.root().child(0), nullptr);
}

namespace {

class Radio : public RadioButtonNode {
public:
  Radio(SceneNode* parent, RadioButtonGroup& group, Log& log, std::string name)
      : RadioButtonNode(parent, group), log_(log), name_(std::move(name)) {}
  bool hitTest(const qutils::Vec2& p, bool& inside) const override {
    inside = std::abs(p.x - worldPosition().x) < 5.f && std::abs(p.y) < 5.f;
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
      group.addButton(buttons[i]);
    }
  }

  SceneGraph graph;
  RadioButtonGroup group;
  Log log;
  Radio* buttons[3] = {};
};

} // namespace

TEST_F(RadioTest, HooksRunInListOrderBeforeTheIndexChanges) {
  // The first button added is selected silently.
  EXPECT_TRUE(buttons[0]->isSelected());
  EXPECT_TRUE(log.empty());

  group.select(2);
  // While the hooks run, button 0 is still the selected one.
  EXPECT_EQ(log, (Log{"0.deselected@0", "2.selected@0"}));
  EXPECT_TRUE(buttons[2]->isSelected());
  log.clear();
  group.select(buttons[0]);
  group.select(0);
  EXPECT_EQ(log, (Log{"0.selected@2", "2.deselected@2"}));

  log.clear();
  group.deselect();
  group.deselect();
  EXPECT_EQ(group.selectedIndex(), -1);
  group.select(1);
  EXPECT_EQ(log, (Log{"0.deselected@0", "1.selected@-1"}));
}

TEST_F(RadioTest, ClickSelectsAndTakesFocus) {
  click(graph, {40.f, 0.f});
  EXPECT_EQ(group.selected(), buttons[2]);
  EXPECT_TRUE(buttons[2]->hasFocus());
  click(graph, {40.f, 0.f});  // the selected one again: no hook
  EXPECT_EQ(log, (Log{"0.deselected@0", "2.selected@0"}));
}

