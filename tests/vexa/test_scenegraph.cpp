#include "assertrecorder.h"
#include "support.h"

#include <algorithm>
#include <functional>

#include <vexa/gui/nodes/pushbuttonnode.h>

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

  Log log;
  SceneGraph graph;
};

} // namespace

TEST_F(SceneGraphTest, PressGoesToTheEarlierSiblingAndToChildrenBeforeParents) {
  LoggingNode* first = add(graph.root(), "a", 0, 0, 100, 100);
  LoggingNode* second = add(graph.root(), "b", 50, 50, 100, 100);
  add(*first, "a1", 10, 10, 50, 20);  // at (10, 10) in window pixels
  graph.updateHover({75, 75});
  EXPECT_TRUE(first->isHovered() && second->isHovered());
  log.clear();
  EXPECT_TRUE(graph.touchDown({75, 75}));
  EXPECT_TRUE(graph.touchUp({75, 75}));
  EXPECT_EQ(log, (Log{"a.down", "a.up"}));

  graph.updateHover({20, 20});
  log.clear();
  graph.touchDown({20, 20});
  graph.touchUp({20, 20});
  EXPECT_EQ(log, (Log{"a1.down", "a1.up"}));

  // A release over a child that was not pressed goes to the pressed parent.
  graph.updateHover({40, 40});
  graph.touchDown({40, 40});
  graph.updateHover({20, 20});
  log.clear();
  EXPECT_TRUE(graph.touchUp({20, 20}));
  EXPECT_EQ(log, (Log{"a.up"}));
}

TEST_F(SceneGraphTest, DraggingOffCancelsAndTheReleaseIsNotTaken) {
  add(graph.root(), "a", 0, 0, 100, 100);
  graph.updateHover({10, 10});
  graph.touchDown({10, 10});
  log.clear();

  graph.updateHover({300, 300});
  EXPECT_EQ(log, (Log{"a.leave", "a.cancel"}));
  EXPECT_FALSE(graph.touchUp({300, 300}));
  // Coming back and releasing is not a click either.
  graph.updateHover({10, 10});
  EXPECT_FALSE(graph.touchUp({10, 10}));
  EXPECT_EQ(log, (Log{"a.leave", "a.cancel", "a.enter"}));
}

TEST_F(SceneGraphTest, HiddenOrDisabledSubtreesAreSkippedWithoutTouchingChildren) {
  LoggingNode* panel = add(graph.root(), "panel", 0, 0, 200, 200);
  LoggingNode* button = add(*panel, "button", 10, 10, 50, 20);
  NullTarget target;

  panel->show();  // no change, no hook
  panel->hide();
  panel->setVisible(false);
  EXPECT_EQ(log, (Log{"panel.hidden"}));
  graph.updateHover({20, 20});
  EXPECT_FALSE(graph.touchDown({20, 20}));
  EXPECT_FALSE(button->isHovered());
  EXPECT_TRUE(button->isVisible());
  log.clear();
  target.draw(graph);
  EXPECT_TRUE(log.empty());

  panel->show();
  panel->setEnabled(false);
  panel->setEnabled(false);
  EXPECT_EQ(log, (Log{"panel.shown", "panel.disabled"}));
  graph.updateHover({20, 20});
  EXPECT_FALSE(graph.touchDown({20, 20}));
  EXPECT_TRUE(button->isEnabled());
  // Disabled still draws, parent first.
  log.clear();
  target.draw(graph);
  EXPECT_EQ(log, (Log{"panel.draw", "button.draw"}));

  // A panel hidden or disabled under a pressed button, then brought back under
  // the mouse: the next click must be an ordinary one, not a broken precondition.
  {
    const std::vector<std::pair<std::string, std::function<void(SceneNode&, bool)>>> ways = {
        {"hide", [](SceneNode& n, bool off) { off ? n.hide() : n.show(); }},
        {"setVisible", [](SceneNode& n, bool off) { n.setVisible(!off); }},
        {"setEnabled", [](SceneNode& n, bool off) { n.setEnabled(!off); }},
    };
    for (const auto& [name, turnOff] : ways) {
      SCOPED_TRACE(name);
      SceneGraph scene;
      LoggingNode* panel = scene.root().makeChild<LoggingNode>(log, "panel", sf::Vector2f(0, 0));
      LoggingNode* button = panel->makeChild<LoggingNode>(log, "button", sf::Vector2f(50, 20));
      scene.updateHover({10, 10});
      scene.touchDown({10, 10});
      log.clear();
      turnOff(*panel, true);
      EXPECT_FALSE(button->isTouched() || button->isHovered());
      EXPECT_NE(std::find(log.begin(), log.end(), "button.cancel"), log.end());
      scene.touchUp({10, 10});
      turnOff(*panel, false);
      log.clear();
      AssertRecorder asserts;
      click(scene, {10, 10});
      EXPECT_FALSE(asserts.fired("hover_ && !touch_"));
      EXPECT_EQ(log, (Log{"button.enter", "button.down", "button.up"}));
    }
  }
}

TEST_F(SceneGraphTest, UpdateRunsSelfThenChildrenInOrder) {
  LoggingNode* a = add(graph.root(), "a", 0, 0);
  add(*a, "a1", 0, 0);
  add(graph.root(), "b", 0, 0);
  graph.update(0.1f);
  EXPECT_EQ(log, (Log{"a.update", "a1.update", "b.update"}));
}

TEST(SceneNode, ChildrenListOwnershipAndWorldTransform) {
  SceneNode root;
  SceneNode* a = root.createChild();
  SceneNode* b = root.createChild();
  SceneNode* c = root.createChild();
  EXPECT_EQ(root.child(5), nullptr);

  SceneNode::Ptr owned = root.detachChild(*b);
  EXPECT_EQ(b->parent(), nullptr);
  EXPECT_EQ(root.children(), (std::vector<SceneNode*>{a, c}));
  AssertRecorder recorder;
  EXPECT_EQ(root.detachChild(*b), nullptr);
  EXPECT_TRUE(recorder.fired("found != children_.end()"));
  root.attachChild(std::move(owned));
  EXPECT_EQ(root.child(2), b);
  EXPECT_EQ(b->parent(), &root);

  // Ancestors compose on the left.
  root.setPosition(10.f, 20.f);
  root.setScale(2.f, 2.f);
  b->setPosition(5.f, 5.f);
  b->createChild()->setPosition(1.f, 0.f);
  EXPECT_EQ(b->worldPosition(), qutils::Vec2(20.f, 30.f));
  EXPECT_EQ(b->child(0)->worldPosition(), qutils::Vec2(22.f, 30.f));
}

TEST_F(WithComponents, FocusHandOverAndLossWhenDisabledHiddenOrDestroyed) {
  Log log;
  SceneNode root;
  auto* a = root.makeChild<LoggingNode>(log, "a");
  auto* b = root.makeChild<LoggingNode>(log, "b");
  EXPECT_TRUE(a->takeFocus());
  EXPECT_FALSE(a->takeFocus());
  EXPECT_TRUE(b->takeFocus());
  EXPECT_FALSE(a->hasFocus());
  focus().requestFocus(b);
  EXPECT_FALSE(focus().releaseFocus(a));
  EXPECT_EQ(log, (Log{"a.gained", "a.lost", "b.gained", "b.lost", "b.gained"}));

  log.clear();
  b->setEnabled(false);
  EXPECT_EQ(focus().focused(), nullptr);
  b->setEnabled(true);
  b->takeFocus();
  b->hide();
  EXPECT_EQ(focus().focused(), nullptr);
  EXPECT_EQ(log, (Log{"b.disabled", "b.lost", "b.enabled", "b.gained", "b.lost", "b.hidden"}));
  b->show();
  b->takeFocus();
  root.clearChildren();
  EXPECT_EQ(focus().focused(), nullptr);
}

TEST_F(WithComponents, PushButtonClickTakesFocusAndCallsBack) {
  struct Button : PushButtonNode {
    explicit Button(SceneNode* parent) : PushButtonNode(parent) {}
    bool hitTest(const qutils::Vec2& p, bool& inside) const override {
      inside = p.x < 50.f && p.y < 50.f;
      return true;
    }
  };
  SceneGraph graph;
  auto* button = graph.root().makeChild<Button>();
  int clicks = 0;
  button->setCallback([&] { ++clicks; });

  click(graph, {10, 10});
  EXPECT_TRUE(button->hasFocus());
  // A cancelled press gives the focus up and calls nothing.
  graph.touchDown({10, 10});
  graph.updateHover({90, 90});
  EXPECT_FALSE(button->hasFocus());
  graph.touchUp({90, 90});
  EXPECT_EQ(clicks, 1);
}
