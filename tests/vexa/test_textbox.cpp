#include "support.h"

#include <vexa/gui/nodes/pushbuttonnode.h>
#include <vexa/gui/nodes/textboxnode.h>

#include <functional>

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

  SceneGraph graph;
  Box* box = nullptr;
  sf::String bound = "old";
};

} // namespace

TEST_F(TextBoxTest, CommandsEditAroundTheCursor) {
  box->insertCharacter('a');
  box->insertCharacter('b');
  box->applyCommand(TextCommand::CursorHome);
  box->insertCharacter('c');
  box->insertCharacter('\t'); // control characters have no place in a line
  box->insertCharacter(127);
  EXPECT_EQ(box->string(), "cab");
  EXPECT_EQ(box->cursor(), 1u);

  box->applyCommand(TextCommand::EraseBefore);  // at 1: removes 'c'
  box->applyCommand(TextCommand::EraseBefore);  // at 0: nothing
  box->applyCommand(TextCommand::CursorLeft);
  box->applyCommand(TextCommand::EraseAt);
  EXPECT_EQ(box->string(), "b");
  EXPECT_EQ(box->cursor(), 0u);
  box->applyCommand(TextCommand::CursorRight);
  box->applyCommand(TextCommand::CursorRight);
  box->applyCommand(TextCommand::EraseAt);  // at the end: nothing
  EXPECT_EQ(box->string(), "b");
  EXPECT_EQ(box->cursor(), 1u);

  // A shorter text pulls the cursor back.
  box->setString("");
  EXPECT_EQ(box->cursor(), 0u);
  EXPECT_GT(box->cursorUpdates, 0);
}

TEST_F(TextBoxTest, EscapeRestoresAndEnterCommitsTheBoundString) {
  box->bindString(&bound);
  click(graph, {10.f, 10.f});
  EXPECT_EQ(processor().textInputTarget(), box);
  type("xyz");
  EXPECT_EQ(box->string(), "xyzold");
  type("\x1b");
  EXPECT_EQ(box->string(), "old");
  EXPECT_FALSE(processor().hasTextInputTarget() || box->isEditing() || box->hasFocus());
  EXPECT_EQ(bound, "old");

  // Clicked again after Escape, it edits again; control characters that
  // X11 delivers for Tab, Delete or Ctrl+A are not inserted.
  int validated = 0;
  box->setCallback([&] { ++validated; });
  click(graph, {10.f, 10.f});
  box->applyCommand(TextCommand::CursorEnd);
  type("e\t\x7f\x01\x1f\nr\r");
  EXPECT_EQ(bound, "older");
  EXPECT_EQ(validated, 1);
  EXPECT_FALSE(box->isEditing() || box->hasFocus() || processor().hasTextInputTarget());
}

TEST_F(TextBoxTest, LosingTheInputTheFocusOrTheBoxCommits) {
  sf::String secondBound = "2";
  box->bindString(&bound);
  auto* second = graph.root().makeChild<Box>(&processor());
  second->bindString(&secondBound);

  click(graph, {10.f, 10.f});
  type("1");
  second->startEditing();
  EXPECT_EQ(bound, "1old");
  EXPECT_EQ(processor().textInputTarget(), second);

  type("!");
  graph.root().createChild()->takeFocus();  // the focus moves away
  EXPECT_EQ(secondBound, "!2");

  box->startEditing();
  box->applyCommand(TextCommand::CursorHome);
  type("-");
  box->setEnabled(false);
  EXPECT_EQ(bound, "-1old");
  EXPECT_FALSE(box->hasFocus());
  EXPECT_FALSE(processor().hasTextInputTarget());

  box->setEnabled(true);
  box->startEditing();
  graph.clear();
  EXPECT_FALSE(processor().hasTextInputTarget());
  EXPECT_EQ(focus().focused(), nullptr);
}

TEST_F(TextBoxTest, CursorBlinksWithThePeriod) {
  EXPECT_FALSE(box->isCursorShown());
  box->takeFocus();
  for (int i = 0; i < 12; ++i) {
    const float t = 0.125f * static_cast<float>(i);
    const bool hidden = t >= 0.5f && t < 1.f;
    EXPECT_EQ(box->isCursorShown(), !hidden) << t;
    EXPECT_EQ(box->cursorShape().getFillColor().a, hidden ? 0 : 255) << t;
    graph.update(0.125f);
  }
}

namespace {

class Button : public PushButtonNode {
public:
  explicit Button(SceneNode* parent) : PushButtonNode(parent) {}
  bool hitTest(const qutils::Vec2& p, bool& inside) const override {
    const qutils::Vec2 o = worldPosition();
    inside = p.x >= o.x && p.x < o.x + 100.f && p.y >= o.y && p.y < o.y + 20.f;
    return true;
  }
};

} // namespace

// A callback may delete or rebuild any widget, its own included: the nodes it
// removes live until the dispatch that ran it is over (AddressSanitizer
// catches any touch of freed memory in the sanitizer build).
TEST_F(TextBoxTest, CallbacksMayRebuildTheWholeGui) {
  int rebuilds = 0;
  std::function<void()> rebuild = [&] {
    ++rebuilds;
    graph.clear();
    box = graph.root().makeChild<Box>(&processor());
    box->bindString(&bound);
    box->setCallback(rebuild);
    auto* button = graph.root().makeChild<Button>();
    button->setPosition(0.f, 50.f);
    button->setCallback(rebuild);
  };
  rebuild();

  // Enter in the box: its validate callback destroys it.
  click(graph, {10.f, 10.f});
  type("a\r");
  EXPECT_EQ(rebuilds, 2);
  EXPECT_EQ(bound, "aold");

  // A click on the button while the box edits: the box's commit on losing
  // the focus rebuilds first, then the button's own callback does.
  click(graph, {10.f, 10.f});
  type("b");
  click(graph, {10.f, 60.f});
  EXPECT_EQ(rebuilds, 4);
  EXPECT_EQ(bound, "baold");
  EXPECT_FALSE(processor().hasTextInputTarget());
  EXPECT_EQ(graph.root().children().size(), 2u);

  // Escape and clicking again still work on the rebuilt box.
  click(graph, {10.f, 10.f});
  type("c\x1b");
  click(graph, {10.f, 10.f});
  EXPECT_EQ(processor().textInputTarget(), box);
  box->applyCommand(TextCommand::CursorEnd);
  type("d\r");
  EXPECT_EQ(bound.toAnsiString(), "baoldd");
}
