#include "support.h"

#include <vexa/gui/nodes/textboxnode.h>
#include <vexa/gui/scenegraph.h>

using namespace vexa;

namespace {

class Box : public TextBoxNode {
public:
  Box(SceneNode* parent, InputProcessor* processor) : TextBoxNode(parent, processor) {}
  bool hitTest(const qutils::Vec2& p, bool& inside) const override {
    inside = p.x >= 0.f && p.x < 100.f && p.y >= 0.f && p.y < 20.f;
    return true;
  }
  void updateCursor() override { ++cursorUpdates; }
  int cursorUpdates = 0;
};

class TextBoxTest : public WithComponents {
protected:
  void SetUp() override {
    WithComponents::SetUp();
    box = graph.root().makeChild<Box>(&processor());
  }
  void type(const std::string& s) {
    for (char c : s)
      processor().handleEvent(textEvent(static_cast<sf::Uint32>(c)));
  }
  void click(const qutils::Vec2& p) {
    graph.updateHover(p);
    graph.touchDown(p);
    graph.touchUp(p);
  }

  SceneGraph graph;
  Box* box = nullptr;
  sf::String bound = "old";
};

} // namespace

TEST_F(TextBoxTest, CommandsEditAroundTheCursor) {
  box->setString("");
  box->applyCommand(TextCommand::EraseBefore);
  EXPECT_EQ(box->string(), "");
  EXPECT_EQ(box->cursor(), 0u);

  box->insertCharacter('a');
  box->insertCharacter('b');
  box->applyCommand(TextCommand::CursorHome);
  box->insertCharacter('c');
  EXPECT_EQ(box->string(), "cab");
  EXPECT_EQ(box->cursor(), 1u);

  box->applyCommand(TextCommand::EraseBefore);  // at 1: removes 'c'
  EXPECT_EQ(box->string(), "ab");
  EXPECT_EQ(box->cursor(), 0u);
  box->applyCommand(TextCommand::EraseBefore);  // at 0: nothing
  box->applyCommand(TextCommand::CursorLeft);
  EXPECT_EQ(box->string(), "ab");
  EXPECT_EQ(box->cursor(), 0u);

  box->applyCommand(TextCommand::EraseAt);
  EXPECT_EQ(box->string(), "b");
  box->applyCommand(TextCommand::CursorEnd);
  EXPECT_EQ(box->cursor(), 1u);
  box->applyCommand(TextCommand::EraseAt);  // at the end: nothing
  box->applyCommand(TextCommand::CursorRight);
  EXPECT_EQ(box->string(), "b");
  EXPECT_EQ(box->cursor(), 1u);
  box->applyCommand(TextCommand::CursorLeft);
  EXPECT_EQ(box->cursor(), 0u);
  box->applyCommand(TextCommand::CursorRight);
  EXPECT_EQ(box->cursor(), 1u);

  // A shorter text pulls the cursor back.
  box->setString("");
  EXPECT_EQ(box->cursor(), 0u);
  EXPECT_GT(box->cursorUpdates, 0);
}

TEST_F(TextBoxTest, ClickEditsEnterCommitsAndGivesEverythingUp) {
  box->bindString(&bound);
  int validated = 0;
  box->setCallback([&] { ++validated; });

  click({10.f, 10.f});
  EXPECT_TRUE(box->hasFocus());
  EXPECT_TRUE(box->isEditing());
  EXPECT_EQ(processor().textInputTarget(), box);

  box->applyCommand(TextCommand::CursorEnd);
  type("er\r");
  EXPECT_EQ(bound, "older");
  EXPECT_EQ(validated, 1);
  EXPECT_FALSE(box->isEditing());
  EXPECT_FALSE(box->hasFocus());
  EXPECT_FALSE(processor().hasTextInputTarget());
}

TEST_F(TextBoxTest, EscapeRestoresTheBoundString) {
  box->bindString(&bound);
  click({10.f, 10.f});
  type("xyz");
  EXPECT_EQ(box->string(), "xyzold");
  type("\x1b");
  EXPECT_EQ(box->string(), "old");
  EXPECT_EQ(bound, "old");
  EXPECT_FALSE(processor().hasTextInputTarget());
  // Editing stays set until stopEditing runs.
  EXPECT_TRUE(box->isEditing());
  box->stopEditing();
  EXPECT_FALSE(box->isEditing());
  EXPECT_FALSE(box->hasFocus());
}

TEST_F(TextBoxTest, EnterWithoutBoundStringIsAPrecondition) {
  AssertRecorder recorder;
  click({10.f, 10.f});
  type("a\r");
  EXPECT_TRUE(recorder.fired("str_"));

  Box unbound(nullptr, &processor());
  unbound.bindString(nullptr);
  EXPECT_TRUE(recorder.fired("string"));
}

TEST_F(TextBoxTest, FocusMovingAwayCommits) {
  box->bindString(&bound);
  click({10.f, 10.f});
  type("!");
  auto* other = graph.root().createChild();
  other->takeFocus();
  EXPECT_EQ(bound, "!old");
  EXPECT_FALSE(box->isEditing());
  EXPECT_FALSE(processor().hasTextInputTarget());
}

TEST_F(TextBoxTest, AnotherBoxTakingTheInputCommitsThisOne) {
  sf::String secondBound = "2";
  box->bindString(&bound);
  auto* second = graph.root().makeChild<Box>(&processor());
  second->bindString(&secondBound);
  box->takeFocus();
  type("1");
  second->startEditing();
  EXPECT_EQ(bound, "1old");
  EXPECT_TRUE(second->hasFocus());
  EXPECT_EQ(processor().textInputTarget(), second);
}

TEST_F(TextBoxTest, DisablingStopsEditingAndDroppingTheBoxClearsTheTarget) {
  box->bindString(&bound);
  click({10.f, 10.f});
  type("-");
  box->setEnabled(false);
  EXPECT_EQ(bound, "-old");
  EXPECT_FALSE(box->hasFocus());
  EXPECT_FALSE(processor().hasTextInputTarget());

  box->setEnabled(true);
  box->startEditing();
  ASSERT_EQ(processor().textInputTarget(), box);
  graph.clear();
  EXPECT_FALSE(processor().hasTextInputTarget());
  EXPECT_EQ(focus().focused(), nullptr);
}

TEST_F(TextBoxTest, CursorBlinksWithThePeriod) {
  EXPECT_FALSE(box->isCursorShown());
  box->takeFocus();
  EXPECT_TRUE(box->isCursorShown());
  EXPECT_EQ(box->cursorShape().getFillColor().a, 255);

  const float dt = 0.125f;
  float t = 0.f;
  for (int i = 0; i < 11; ++i) {
    graph.update(dt);
    t += dt;
    const bool hidden = t >= 0.5f && t < 1.f;
    EXPECT_EQ(box->isCursorShown(), !hidden) << t;
    EXPECT_EQ(box->cursorShape().getFillColor().a, hidden ? 0 : 255) << t;
  }

  AssertRecorder recorder;
  box->setBlinkPeriod(0.f);
  EXPECT_TRUE(recorder.fired("speed > 0.f"));
  EXPECT_FLOAT_EQ(box->blinkPeriod(), 0.5f);
}
