#include "support.h"

using namespace vexa;

namespace {

// A text box that also records the commands that reach it.
class RecordingBox : public AbstractTextBox {
public:
  explicit RecordingBox(InputProcessor* processor) : AbstractTextBox(processor) {}
  void applyCommand(std::uint32_t code) override {
    commands.push_back(code);
    AbstractTextBox::applyCommand(code);
  }
  void updateCursor() override {}

  std::vector<std::uint32_t> commands;
};

class GameInput : public WithComponents {
protected:
  void SetUp() override { install(std::make_unique<MappedProcessor>()); }
};

using EngineInput = WithComponents;

} // namespace

TEST(InputManager, EdgesLastOneStepAndHeldFollowsTheLastEvent) {
  InputManager input;
  ASSERT_TRUE(input.init());
  EXPECT_TRUE(input.isValidButtonId("touch"));
  input.addButton("up");

  // Pressed and released between two steps: both edges, not held.
  input.press("up");
  input.release("up");
  EXPECT_TRUE(input.isPressed("up") && input.isReleased("up"));
  EXPECT_FALSE(input.isHeld("up"));
  input.update();
  EXPECT_FALSE(input.isPressed("up") || input.isReleased("up"));

  input.release("up");
  input.press("up");
  input.addButton("up");  // registering again changes nothing
  EXPECT_TRUE(input.isHeld("up") && input.isPressed("up") && input.isReleased("up"));
  input.update();
  EXPECT_TRUE(input.isHeld("up"));
  EXPECT_FALSE(input.isPressed("up"));

  AssertRecorder recorder;
  EXPECT_FALSE(input.isHeld("nope"));
  EXPECT_TRUE(recorder.fired("isValidButtonId(id)"));
}

TEST_F(EngineInput, MouseButtonsMapToTouchAndAltTouchOnly) {
  EXPECT_TRUE(send(mouseEvent(sf::Mouse::Left)));
  EXPECT_TRUE(input().isHeld("touch"));
  EXPECT_TRUE(send(mouseEvent(sf::Mouse::Left, sf::Event::MouseButtonReleased)));
  EXPECT_FALSE(input().isHeld("touch"));
  EXPECT_TRUE(input().isReleased("touch"));
  EXPECT_TRUE(send(mouseEvent(sf::Mouse::Right)));
  EXPECT_TRUE(input().isPressed("alttouch"));

  input().update();
  EXPECT_FALSE(send(mouseEvent(sf::Mouse::Middle)));
  for (const std::string& name : standardButtons())
    EXPECT_FALSE(input().isPressed(name)) << name;
}

TEST_F(EngineInput, TextAndEditingKeysGoToTheTarget) {
  EXPECT_FALSE(send(textEvent('a')));  // no target yet
  RecordingBox box(&processor());
  processor().setTextInputTarget(&box);
  EXPECT_TRUE(send(textEvent('a')));
  EXPECT_TRUE(send(textEvent('b')));
  // Every character reaches the box, whose filter decides what it takes.
  EXPECT_TRUE(send(textEvent(0xE9)));
  box.setCharacterFilter([](sf::Uint32 c) { return c < 128; });
  EXPECT_TRUE(send(textEvent(0xE8)));
  const char32_t typed[] = U"ab\u00e9";
  EXPECT_EQ(box.string(), sf::String::fromUtf32(typed, typed + 3));

  // Editing keys send commands but are never consumed; other keys send none.
  for (sf::Keyboard::Key key : {sf::Keyboard::End, sf::Keyboard::Home, sf::Keyboard::Delete,
                                sf::Keyboard::Left, sf::Keyboard::Right, sf::Keyboard::X})
    EXPECT_FALSE(send(keyEvent(key))) << key;
  EXPECT_FALSE(send(keyEvent(sf::Keyboard::End, sf::Event::KeyReleased)));
  EXPECT_TRUE(send(textEvent(8)));
  EXPECT_TRUE(send(textEvent(27)));
  const std::vector<std::uint32_t> expected = {
      TextCommand::CursorEnd,  TextCommand::CursorHome,  TextCommand::EraseAt,
      TextCommand::CursorLeft, TextCommand::CursorRight, TextCommand::EraseBefore,
      TextCommand::Cancel};
  EXPECT_EQ(box.commands, expected);
}

// Alt-Tab while steering: the key-up goes to another window.
TEST_F(GameInput, LosingTheFocusReleasesEveryHeldButton) {
  send(keyEvent(sf::Keyboard::Left));
  send(keyEvent(sf::Keyboard::W));
  input().update();
  sf::Event lost;
  lost.type = sf::Event::LostFocus;
  send(lost);
  for (const char* button : {"left", "altUp"})
    EXPECT_TRUE(!input().isHeld(button) && input().isReleased(button)) << button;
  EXPECT_FALSE(input().isReleased("right"));
}
