#include "support.h"

#include <vexa/gui/nodes/pushbuttonnode.h>
#include <vexa/gui/scenegraph.h>

using namespace vexa;

namespace {

using Log = std::vector<std::string>;

class SceneGraphTest : public WithComponents {
protected:
  LoggingNode* add(SceneNode& parent, const std::string& name, float x, float y,
                   float w = 0.f, float h = 0.f) {
    LoggingNode* node = parent.makeChild<LoggingNode>(log, name, sf::Vector2f(w, h));
    node->setPosition(x, y);
    return node;
  }
  // What a screen does in one update step.
  void pointer(const qutils::Vec2& p) { graph.updateHover(p); }

  Log log;
  SceneGraph graph;
};

} // namespace

TEST_F(SceneGraphTest, OverlappingSiblingsGiveThePressToTheEarlierOne) {
  LoggingNode* first = add(graph.root(), "a", 0, 0, 100, 100);
  LoggingNode* second = add(graph.root(), "b", 50, 50, 100, 100);
  pointer({75, 75});
  EXPECT_TRUE(first->isHovered());
  EXPECT_TRUE(second->isHovered());

  log.clear();
  EXPECT_TRUE(graph.touchDown({75, 75}));
  EXPECT_TRUE(graph.touchUp({75, 75}));
  EXPECT_EQ(log, (Log{"a.down", "a.up"}));
  EXPECT_FALSE(second->isTouched());
}

TEST_F(SceneGraphTest, ChildrenTakeThePressBeforeTheirParent) {
  LoggingNode* panel = add(graph.root(), "panel", 0, 0, 200, 200);
  add(*panel, "button", 10, 10, 50, 20);  // at (10, 10) in window pixels
  pointer({20, 20});
  log.clear();
  graph.touchDown({20, 20});
  EXPECT_EQ(log, (Log{"button.down"}));

  // The parent still takes presses outside the child.
  pointer({150, 150});
  log.clear();
  graph.touchDown({150, 150});
  EXPECT_EQ(log, (Log{"panel.down"}));
}

TEST_F(SceneGraphTest, DraggingOffCancelsAndTheReleaseIsNotTaken) {
  add(graph.root(), "a", 0, 0, 100, 100);
  pointer({10, 10});
  graph.touchDown({10, 10});
  log.clear();

  pointer({300, 300});
  EXPECT_EQ(log, (Log{"a.leave", "a.cancel"}));
  log.clear();
  EXPECT_FALSE(graph.touchUp({300, 300}));
  // Coming back and releasing is not a click either.
  pointer({10, 10});
  EXPECT_FALSE(graph.touchUp({10, 10}));
  EXPECT_EQ(log, (Log{"a.enter"}));
}

TEST_F(SceneGraphTest, AReleaseOverAnUnpressedChildGoesToTheParent) {
  LoggingNode* panel = add(graph.root(), "panel", 0, 0, 200, 200);
  add(*panel, "button", 10, 10, 50, 20);
  pointer({150, 150});
  graph.touchDown({150, 150});
  pointer({20, 20});
  log.clear();
  EXPECT_TRUE(graph.touchUp({20, 20}));
  EXPECT_EQ(log, (Log{"panel.up"}));
}

TEST_F(SceneGraphTest, HiddenOrDisabledSubtreesAreSkippedWithoutTouchingChildren) {
  LoggingNode* panel = add(graph.root(), "panel", 0, 0, 200, 200);
  LoggingNode* button = add(*panel, "button", 10, 10, 50, 20);

  panel->hide();
  EXPECT_EQ(log, (Log{"panel.hidden"}));
  pointer({20, 20});
  EXPECT_FALSE(graph.touchDown({20, 20}));
  EXPECT_FALSE(button->isHovered());
  EXPECT_TRUE(button->isVisible());

  NullTarget target;
  log.clear();
  target.draw(graph);
  EXPECT_TRUE(log.empty());

  panel->show();
  panel->setEnabled(false);
  EXPECT_EQ(log, (Log{"panel.shown", "panel.disabled"}));
  pointer({20, 20});
  EXPECT_FALSE(graph.touchDown({20, 20}));
  EXPECT_TRUE(button->isEnabled());

  // Disabled still draws, parent first.
  log.clear();
  target.draw(graph);
  EXPECT_EQ(log, (Log{"panel.draw", "button.draw"}));
}

TEST_F(SceneGraphTest, HookRulesOfVisibilityAndEnabling) {
  LoggingNode* node = add(graph.root(), "n", 0, 0);
  node->show();
  node->setVisible(false);
  node->setVisible(true);
  node->setEnabled(true);
  EXPECT_TRUE(log.empty());
  node->setEnabled(false);
  node->setEnabled(false);
  node->setEnabled(true);
  EXPECT_EQ(log, (Log{"n.disabled", "n.enabled"}));
}

TEST_F(SceneGraphTest, PressWithoutHoverPassIsAPrecondition) {
  add(graph.root(), "a", 0, 0, 100, 100);
  AssertRecorder recorder;
  graph.touchDown({10, 10});
  EXPECT_TRUE(recorder.fired("hover_ && !touch_"));
}

TEST_F(SceneGraphTest, UpdateRunsSelfThenChildrenInOrder) {
  LoggingNode* a = add(graph.root(), "a", 0, 0);
  add(*a, "a1", 0, 0);
  add(graph.root(), "b", 0, 0);
  graph.update(0.1f);
  EXPECT_EQ(log, (Log{"a.update", "a1.update", "b.update"}));
}

TEST(SceneNode, ChildrenListAndOwnership) {
  SceneNode root;
  SceneNode* a = root.createChild();
  SceneNode* b = root.createChild();
  SceneNode* c = root.createChild();
  EXPECT_EQ(root.child(1), b);
  EXPECT_EQ(root.child(3), nullptr);
  EXPECT_EQ(root.child(5), nullptr);
  EXPECT_EQ(root.children(), (std::vector<SceneNode*>{a, b, c}));
  EXPECT_EQ(b->parent(), &root);

  SceneNode::Ptr owned = root.detachChild(*b);
  EXPECT_EQ(owned.get(), b);
  EXPECT_EQ(b->parent(), nullptr);
  EXPECT_EQ(root.children(), (std::vector<SceneNode*>{a, c}));

  AssertRecorder recorder;
  EXPECT_EQ(root.detachChild(*b), nullptr);
  EXPECT_TRUE(recorder.fired("found != children_.end()"));

  root.attachChild(std::move(owned));
  EXPECT_EQ(root.child(2), b);
  root.clearChildren();
  EXPECT_EQ(root.child(0), nullptr);
}

TEST(SceneNode, WorldTransformComposesAncestorsOnTheLeft) {
  SceneNode root;
  root.setPosition(10.f, 20.f);
  root.setScale(2.f, 2.f);
  SceneNode* child = root.createChild();
  child->setPosition(5.f, 5.f);
  SceneNode* grandChild = child->createChild();
  grandChild->setPosition(1.f, 0.f);
  EXPECT_EQ(child->worldPosition(), qutils::Vec2(20.f, 30.f));
  EXPECT_EQ(grandChild->worldPosition(), qutils::Vec2(22.f, 30.f));
  EXPECT_EQ(root.globalBounds(), sf::FloatRect());
}

TEST_F(WithComponents, FocusHandOverRunsLostThenGained) {
  Log log;
  SceneNode root;
  auto* a = root.makeChild<LoggingNode>(log, "a");
  auto* b = root.makeChild<LoggingNode>(log, "b");

  EXPECT_TRUE(a->takeFocus());
  EXPECT_FALSE(a->takeFocus());
  EXPECT_TRUE(b->takeFocus());
  EXPECT_EQ(log, (Log{"a.gained", "a.lost", "b.gained"}));
  EXPECT_FALSE(a->hasFocus());
  EXPECT_TRUE(b->hasFocus());

  log.clear();
  focus().requestFocus(b);
  EXPECT_EQ(log, (Log{"b.lost", "b.gained"}));

  log.clear();
  EXPECT_FALSE(focus().releaseFocus(a));
  EXPECT_TRUE(log.empty());
  focus().clearFocus();
  EXPECT_EQ(log, (Log{"b.lost"}));
  EXPECT_EQ(focus().focused(), nullptr);
}

TEST_F(WithComponents, HidingDisablingOrDestroyingTheFocusedNodeDropsTheFocus) {
  Log log;
  SceneNode root;
  auto* a = root.makeChild<LoggingNode>(log, "a");

  a->takeFocus();
  a->setEnabled(false);
  EXPECT_EQ(focus().focused(), nullptr);
  a->setEnabled(true);

  a->takeFocus();
  a->hide();
  EXPECT_EQ(focus().focused(), nullptr);
  a->show();

  a->takeFocus();
  a->setVisible(false);
  EXPECT_EQ(focus().focused(), nullptr);
  EXPECT_EQ(log, (Log{"a.gained", "a.disabled", "a.lost", "a.enabled", "a.gained",
                      "a.lost", "a.hidden", "a.shown", "a.gained", "a.lost"}));

  a->setVisible(true);
  a->takeFocus();
  root.clearChildren();
  EXPECT_EQ(focus().focused(), nullptr);
}

TEST_F(WithComponents, PushButtonClickTakesFocusAndCallsBack) {
  SceneGraph graph;
  Log log;
  struct Button : PushButtonNode {
    explicit Button(SceneNode* parent) : PushButtonNode(parent) {}
    bool hitTest(const qutils::Vec2& p, bool& inside) const override {
      inside = p.x < 50.f && p.y < 50.f;
      return true;
    }
  };
  auto* button = graph.root().makeChild<Button>();
  int clicks = 0;
  button->setCallback([&] { ++clicks; });

  graph.updateHover({10, 10});
  graph.touchDown({10, 10});
  EXPECT_EQ(clicks, 0);
  graph.touchUp({10, 10});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(button->hasFocus());

  // A cancelled press gives the focus up and calls nothing.
  graph.touchDown({10, 10});
  graph.updateHover({90, 90});
  EXPECT_FALSE(button->hasFocus());
  graph.touchUp({90, 90});
  EXPECT_EQ(clicks, 1);
}
