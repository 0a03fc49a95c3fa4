#include "support.h"

using namespace vexa;

namespace {

// A text box that only records what reaches it.
class RecordingBox : public AbstractTextBox {
public:
  explicit RecordingBox(InputProcessor* processor) : AbstractTextBox(processor) {}
  void applyCommand(std::uint32_t code) override {
    commands.push_back(code);
    AbstractTextBox::applyCommand(code);
  }
  void loseTextInput() override { ++lost; }
  void updateCursor() override {}

  std::vector<std::uint32_t> commands;
  int lost = 0;
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
  EXPECT_TRUE(input.isPressed("up"));
  EXPECT_TRUE(input.isReleased("up"));
  EXPECT_FALSE(input.isHeld("up"));

  input.update();
  EXPECT_FALSE(input.isPressed("up"));
  EXPECT_FALSE(input.isReleased("up"));

  input.release("up");
  input.press("up");
  EXPECT_TRUE(input.isHeld("up"));
  EXPECT_TRUE(input.isReleased("up"));

  // Registering again changes nothing.
  input.addButton("up");
  EXPECT_TRUE(input.isHeld("up"));
  EXPECT_TRUE(input.isPressed("up"));

  input.update();
  EXPECT_TRUE(input.isHeld("up"));
  EXPECT_FALSE(input.isPressed("up"));
}

TEST(InputManager, UnknownButtonsArePreconditions) {
  InputManager input;
  AssertRecorder recorder;
  EXPECT_FALSE(input.isHeld("nope"));
  EXPECT_FALSE(input.isPressed("nope"));
  EXPECT_FALSE(input.isReleased("nope"));
  EXPECT_TRUE(recorder.fired("isValidButtonId(id)"));
  EXPECT_EQ(recorder.count(), 3u);
  input.press("nope");
  input.release("nope");
  EXPECT_TRUE(recorder.fired("false"));
  EXPECT_EQ(recorder.count(), 5u);
  EXPECT_FALSE(input.isValidButtonId("nope"));
}

TEST_F(EngineInput, MouseButtonsMapToTouchAndAltTouchOnly) {
  EXPECT_TRUE(processor().handleEvent(mouseEvent(sf::Event::MouseButtonPressed, sf::Mouse::Left)));
  EXPECT_TRUE(input().isHeld("touch"));
  EXPECT_TRUE(processor().handleEvent(mouseEvent(sf::Event::MouseButtonReleased, sf::Mouse::Left)));
  EXPECT_FALSE(input().isHeld("touch"));
  EXPECT_TRUE(input().isReleased("touch"));

  EXPECT_TRUE(processor().handleEvent(mouseEvent(sf::Event::MouseButtonPressed, sf::Mouse::Right)));
  EXPECT_TRUE(input().isPressed("alttouch"));

  input().update();
  EXPECT_FALSE(processor().handleEvent(mouseEvent(sf::Event::MouseButtonPressed, sf::Mouse::Middle)));
  for (const std::string& name : standardButtons())
    EXPECT_FALSE(input().isPressed(name)) << name;
}

TEST_F(EngineInput, TextGoesToTheTargetOnlyWhenThereIsOne) {
  EXPECT_FALSE(processor().handleEvent(textEvent('a')));

  RecordingBox box(&processor());
  processor().setTextInputTarget(&box);
  ASSERT_TRUE(processor().hasTextInputTarget());

  EXPECT_TRUE(processor().handleEvent(textEvent('a')));
  EXPECT_TRUE(processor().handleEvent(textEvent('b')));
  EXPECT_EQ(box.string().toAnsiString(), "ab");
  EXPECT_EQ(box.cursor(), 2u);

  // Non-ASCII is neither consumed nor inserted.
  EXPECT_FALSE(processor().handleEvent(textEvent(0xE9)));
  EXPECT_EQ(box.string().toAnsiString(), "ab");

  EXPECT_TRUE(processor().handleEvent(textEvent(8)));
  EXPECT_TRUE(processor().handleEvent(textEvent(27)));
  const std::vector<std::uint32_t> typed = {TextCommand::EraseBefore, TextCommand::Cancel};
  EXPECT_EQ(box.commands, typed);
}

TEST_F(EngineInput, EditingKeysSendCommandsButAreNeverConsumed) {
  RecordingBox box(&processor());
  processor().setTextInputTarget(&box);
  const std::pair<sf::Keyboard::Key, std::uint32_t> keys[] = {
      {sf::Keyboard::End, TextCommand::CursorEnd},
      {sf::Keyboard::Home, TextCommand::CursorHome},
      {sf::Keyboard::Delete, TextCommand::EraseAt},
      {sf::Keyboard::Left, TextCommand::CursorLeft},
      {sf::Keyboard::Right, TextCommand::CursorRight},
  };
  for (const auto& k : keys) {
    box.commands.clear();
    EXPECT_FALSE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, k.first)));
    ASSERT_EQ(box.commands.size(), 1u);
    EXPECT_EQ(box.commands[0], k.second);
  }
  box.commands.clear();
  EXPECT_FALSE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::X)));
  EXPECT_FALSE(processor().handleEvent(keyEvent(sf::Event::KeyReleased, sf::Keyboard::End)));
  EXPECT_TRUE(box.commands.empty());
}

TEST_F(EngineInput, ANewTargetMakesThePreviousOneLoseTheInput) {
  RecordingBox first(&processor());
  RecordingBox second(&processor());
  processor().setTextInputTarget(&first);
  processor().setTextInputTarget(&second);
  EXPECT_EQ(first.lost, 1);
  EXPECT_EQ(second.lost, 0);
  EXPECT_EQ(processor().textInputTarget(), &second);

  processor().clearTextInputTarget(&first);
  EXPECT_EQ(processor().textInputTarget(), &second);
  processor().clearTextInputTarget(&second);
  EXPECT_FALSE(processor().hasTextInputTarget());
}

TEST_F(GameInput, BothLetterLayoutsDriveTheSecondSet) {
  EXPECT_TRUE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::W)));
  EXPECT_TRUE(input().isHeld("altUp"));
  EXPECT_TRUE(processor().handleEvent(keyEvent(sf::Event::KeyReleased, sf::Keyboard::W)));
  EXPECT_FALSE(input().isHeld("altUp"));

  EXPECT_TRUE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Z)));
  EXPECT_TRUE(input().isHeld("altUp"));
  EXPECT_TRUE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Q)));
  EXPECT_TRUE(input().isHeld("altLeft"));
  EXPECT_TRUE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::A)));
  EXPECT_TRUE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::S)));
  EXPECT_TRUE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::D)));
  EXPECT_TRUE(input().isHeld("altDown"));
  EXPECT_TRUE(input().isHeld("altRight"));
}

TEST_F(GameInput, EveryTableKeyReachesItsButton) {
  const std::pair<sf::Keyboard::Key, const char*> table[] = {
      {sf::Keyboard::Up, "up"},         {sf::Keyboard::Left, "left"},
      {sf::Keyboard::Down, "down"},     {sf::Keyboard::Right, "right"},
      {sf::Keyboard::Enter, "enter"},   {sf::Keyboard::Delete, "erase"},
      {sf::Keyboard::Escape, "escape"}, {sf::Keyboard::Tab, "debug"},
      {sf::Keyboard::Add, "zoomin"},    {sf::Keyboard::Subtract, "zoomout"},
  };
  for (const auto& entry : table) {
    input().update();
    EXPECT_TRUE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, entry.first)));
    EXPECT_TRUE(input().isPressed(entry.second)) << entry.second;
  }
  EXPECT_EQ(standardButtons().size(), 16u);
  EXPECT_EQ(standardButtons()[10], "touch");
}

TEST_F(GameInput, KeyRepeatPulsesPressedWhileHeld) {
  processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Up));
  input().update();
  EXPECT_FALSE(input().isPressed("up"));
  processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Up));
  EXPECT_TRUE(input().isPressed("up"));
  EXPECT_TRUE(input().isHeld("up"));
  EXPECT_FALSE(input().isReleased("up"));
}

TEST_F(GameInput, WheelNotchPressesAndReleasesAtOnce) {
  EXPECT_TRUE(processor().handleEvent(wheelEvent(1.f)));
  EXPECT_TRUE(input().isPressed("zoomin"));
  EXPECT_TRUE(input().isReleased("zoomin"));
  EXPECT_FALSE(input().isHeld("zoomin"));
  EXPECT_FALSE(input().isPressed("zoomout"));

  input().update();
  EXPECT_TRUE(processor().handleEvent(wheelEvent(-2.f)));
  EXPECT_TRUE(input().isPressed("zoomout"));
  EXPECT_TRUE(input().isReleased("zoomout"));
  EXPECT_FALSE(input().isPressed("zoomin"));

  // No delta: on to the engine, which has no use for it.
  input().update();
  EXPECT_FALSE(processor().handleEvent(wheelEvent(0.f)));
  EXPECT_FALSE(input().isPressed("zoomin"));
  EXPECT_FALSE(input().isPressed("zoomout"));
}

TEST_F(GameInput, TableKeysNeverReachTheTextBox) {
  RecordingBox box(&processor());
  processor().setTextInputTarget(&box);

  EXPECT_TRUE(processor().handleEvent(textEvent('a')));
  EXPECT_TRUE(processor().handleEvent(textEvent('z')));
  EXPECT_EQ(box.string().toAnsiString(), "az");

  // Left is a button here, Home still edits.
  EXPECT_TRUE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Left)));
  EXPECT_TRUE(input().isPressed("left"));
  EXPECT_TRUE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Delete)));
  EXPECT_TRUE(box.commands.empty());
  EXPECT_EQ(box.cursor(), 2u);

  EXPECT_FALSE(processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Home)));
  EXPECT_EQ(box.cursor(), 0u);

  EXPECT_FALSE(processor().handleEvent(textEvent(0xE9)));
  EXPECT_EQ(box.string().toAnsiString(), "az");

  // Mouse buttons still go through the engine's translation.
  EXPECT_TRUE(processor().handleEvent(mouseEvent(sf::Event::MouseButtonPressed, sf::Mouse::Left)));
  EXPECT_TRUE(input().isHeld("touch"));
  processor().clearTextInputTarget(&box);
}
