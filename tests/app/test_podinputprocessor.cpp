#include "app/podinputprocessor.h"
#include "testapp.h"

#include <vexa/core/components.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/keymap.h>
#include <vexa/gui/abstracttextbox.h>

#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

sf::Event keyEvent(sf::Event::EventType type, sf::Keyboard::Key key) {
  sf::Event event;
  event.type = type;
  event.key = {key, false, false, false, false};
  return event;
}

sf::Event wheelEvent(float delta) {
  sf::Event event;
  event.type = sf::Event::MouseWheelScrolled;
  event.mouseWheelScroll = {sf::Mouse::VerticalWheel, delta, 0, 0};
  return event;
}

sf::Event mouseEvent(sf::Event::EventType type, sf::Mouse::Button button) {
  sf::Event event;
  event.type = type;
  event.mouseButton = {button, 10, 10};
  return event;
}

// Records what the input processor sends to the text-input target.
class FakeTextBox : public vexa::AbstractTextBox {
public:
  explicit FakeTextBox(vexa::InputProcessor* processor)
      : vexa::AbstractTextBox(processor) {}
  void applyCommand(std::uint32_t code) override { commands.push_back(code); }
  void insertCharacter(sf::Uint32 c) override { inserted.push_back(c); }
  void updateCursor() override {}

  std::vector<std::uint32_t> commands;
  std::vector<sf::Uint32> inserted;
};

class PodInputProcessorTest : public ::testing::Test {
protected:
  void SetUp() override {
    testapp::headlessRegistry();
    input().update();
    for (const std::string& button : vexa::standardButtons()) {
      if (input().isHeld(button))
        input().release(button);
    }
    input().update();
  }

  static vexa::InputManager& input() { return vexa::inputManager(); }

  // Every button whose flags changed in this step.
  static std::vector<std::string> touchedButtons() {
    std::vector<std::string> touched;
    for (const std::string& button : vexa::standardButtons()) {
      if (input().isPressed(button) || input().isReleased(button) ||
          input().isHeld(button))
        touched.push_back(button);
    }
    return touched;
  }

  pod::PodInputProcessor processor_;
};

TEST_F(PodInputProcessorTest, EveryKeyOfTheTableDrivesItsButton) {
  using K = sf::Keyboard;
  const std::vector<std::pair<K::Key, std::string>> table = {
      {K::Up, "up"},         {K::Left, "left"},       {K::Down, "down"},
      {K::Right, "right"},   {K::W, "altUp"},         {K::Z, "altUp"},
      {K::A, "altLeft"},     {K::Q, "altLeft"},       {K::S, "altDown"},
      {K::D, "altRight"},    {K::Enter, "enter"},     {K::Delete, "erase"},
      {K::Escape, "escape"}, {K::Tab, "debug"},       {K::Add, "zoomin"},
      {K::Subtract, "zoomout"}};
  for (const auto& [key, button] : table) {
    SCOPED_TRACE(button);
    input().update();
    EXPECT_TRUE(processor_.handleEvent(keyEvent(sf::Event::KeyPressed, key)));
    EXPECT_TRUE(input().isHeld(button));
    EXPECT_TRUE(input().isPressed(button));
    EXPECT_EQ(touchedButtons(), std::vector<std::string>{button});

    input().update();
    EXPECT_TRUE(processor_.handleEvent(keyEvent(sf::Event::KeyReleased, key)));
    EXPECT_FALSE(input().isHeld(button));
    EXPECT_TRUE(input().isReleased(button));
    EXPECT_FALSE(input().isPressed(button));
  }
}

TEST_F(PodInputProcessorTest, BothLetterLayoutsHoldTheSameButtons) {
  // W on QWERTY, Z on AZERTY: the same "altUp", released by either.
  processor_.handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Z));
  EXPECT_TRUE(input().isHeld("altUp"));
  processor_.handleEvent(keyEvent(sf::Event::KeyReleased, sf::Keyboard::W));
  EXPECT_FALSE(input().isHeld("altUp"));
  processor_.handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Q));
  processor_.handleEvent(keyEvent(sf::Event::KeyReleased, sf::Keyboard::Q));
  processor_.handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::A));
  EXPECT_TRUE(input().isHeld("altLeft"));
  EXPECT_TRUE(input().isPressed("altLeft"));
  EXPECT_TRUE(input().isReleased("altLeft"));
}

TEST_F(PodInputProcessorTest, AWheelNotchPressesAndReleasesAtOnce) {
  EXPECT_TRUE(processor_.handleEvent(wheelEvent(1.f)));
  EXPECT_TRUE(input().isPressed("zoomin"));
  EXPECT_TRUE(input().isReleased("zoomin"));
  EXPECT_FALSE(input().isHeld("zoomin"));
  EXPECT_FALSE(input().isPressed("zoomout"));

  input().update();
  EXPECT_TRUE(processor_.handleEvent(wheelEvent(-2.5f)));
  EXPECT_TRUE(input().isPressed("zoomout"));
  EXPECT_TRUE(input().isReleased("zoomout"));
  EXPECT_FALSE(input().isHeld("zoomout"));
  EXPECT_FALSE(input().isPressed("zoomin"));

  // No direction: not a zoom, and nothing else takes it.
  input().update();
  EXPECT_FALSE(processor_.handleEvent(wheelEvent(0.f)));
  EXPECT_TRUE(touchedButtons().empty());
}

TEST_F(PodInputProcessorTest, OtherEventsFallToTheEngineTranslation) {
  // Mouse buttons are the engine's.
  EXPECT_TRUE(processor_.handleEvent(
      mouseEvent(sf::Event::MouseButtonPressed, sf::Mouse::Left)));
  EXPECT_TRUE(input().isHeld("touch"));
  EXPECT_TRUE(processor_.handleEvent(
      mouseEvent(sf::Event::MouseButtonPressed, sf::Mouse::Right)));
  EXPECT_TRUE(input().isHeld("alttouch"));
  EXPECT_FALSE(processor_.handleEvent(
      mouseEvent(sf::Event::MouseButtonPressed, sf::Mouse::Middle)));

  // A key outside the table is not consumed and drives no button.
  input().update();
  processor_.handleEvent(mouseEvent(sf::Event::MouseButtonReleased, sf::Mouse::Left));
  processor_.handleEvent(mouseEvent(sf::Event::MouseButtonReleased, sf::Mouse::Right));
  input().update();
  EXPECT_FALSE(processor_.handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::X)));
  EXPECT_FALSE(processor_.handleEvent(keyEvent(sf::Event::KeyReleased, sf::Keyboard::X)));
  EXPECT_TRUE(touchedButtons().empty());
}

TEST_F(PodInputProcessorTest, TextBoxGetsTypedTextAndUnmappedEditKeysOnly) {
  FakeTextBox box(&processor_);
  processor_.setTextInputTarget(&box);

  sf::Event typed;
  typed.type = sf::Event::TextEntered;
  typed.text.unicode = 'a';
  EXPECT_TRUE(processor_.handleEvent(typed));
  typed.text.unicode = 0xE9; // outside ASCII
  EXPECT_FALSE(processor_.handleEvent(typed));
  EXPECT_EQ(box.inserted, std::vector<sf::Uint32>{'a'});

  // Home and End are not game keys: the engine moves the cursor.
  EXPECT_FALSE(processor_.handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Home)));
  EXPECT_FALSE(processor_.handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::End)));
  // Left and Delete are game buttons and never reach the box.
  EXPECT_TRUE(processor_.handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Left)));
  EXPECT_TRUE(processor_.handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Delete)));
  EXPECT_TRUE(input().isHeld("left"));
  EXPECT_TRUE(input().isHeld("erase"));
  EXPECT_EQ(box.commands, (std::vector<std::uint32_t>{vexa::TextCommand::CursorHome,
                                                      vexa::TextCommand::CursorEnd}));

  processor_.clearTextInputTarget(&box);
  processor_.handleEvent(keyEvent(sf::Event::KeyReleased, sf::Keyboard::Left));
  processor_.handleEvent(keyEvent(sf::Event::KeyReleased, sf::Keyboard::Delete));
}

} // namespace
