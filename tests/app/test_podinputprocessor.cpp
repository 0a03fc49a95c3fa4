#include "app/inputbuttonstates.h"
#include "app/podinputprocessor.h"
#include "testapp.h"

#include <vexa/core/components.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/keymap.h>
#include <vexa/gui/abstracttextbox.h>

#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
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
    for (const std::string& button : vexa::standardButtons())
      input().release(button);
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
    EXPECT_TRUE(input().isPressed(button));
    EXPECT_EQ(touchedButtons(), std::vector<std::string>{button});
    // Held outlives the step in which the key went down; the brains read it.
    input().update();
    EXPECT_TRUE(pod::keyboardButtons().isHeld(button));
    processor_.handleEvent(keyEvent(sf::Event::KeyPressed, key)); // key repeat pulses pressed
    EXPECT_TRUE(input().isPressed(button) && input().isHeld(button));
    EXPECT_FALSE(input().isReleased(button));
    EXPECT_TRUE(processor_.handleEvent(keyEvent(sf::Event::KeyReleased, key)));
    EXPECT_FALSE(pod::keyboardButtons().isHeld(button));
    EXPECT_TRUE(input().isReleased(button));
  }
}

TEST_F(PodInputProcessorTest, AWheelNotchPressesAndReleasesAtOnceAndTheRestFallsThrough) {
  for (const auto& [delta, button] : {std::pair<float, std::string>{1.f, "zoomin"},
                                      std::pair<float, std::string>{-2.5f, "zoomout"}}) {
    input().update();
    EXPECT_TRUE(processor_.handleEvent(wheelEvent(delta)));
    EXPECT_TRUE(input().isPressed(button));
    EXPECT_TRUE(input().isReleased(button));
    EXPECT_FALSE(input().isHeld(button));
    EXPECT_EQ(touchedButtons(), std::vector<std::string>{button});
  }
  // No direction is not a zoom, and a key outside the table falls to the
  // engine: neither is consumed nor drives a button.
  input().update();
  EXPECT_FALSE(processor_.handleEvent(wheelEvent(0.f)));
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
  typed.text.unicode = 0xE9; // outside ASCII: the box decides, not the processor
  EXPECT_TRUE(processor_.handleEvent(typed));
  EXPECT_EQ(box.inserted, (std::vector<sf::Uint32>{'a', 0xE9}));

  // Home and End are not game keys: the engine moves the cursor. Left and
  // Delete are game buttons and never reach the box.
  for (auto key : {sf::Keyboard::Home, sf::Keyboard::End, sf::Keyboard::Left, sf::Keyboard::Delete})
    processor_.handleEvent(keyEvent(sf::Event::KeyPressed, key));
  EXPECT_TRUE(input().isHeld("left"));
  EXPECT_TRUE(input().isHeld("erase"));
  EXPECT_EQ(box.commands, (std::vector<std::uint32_t>{vexa::TextCommand::CursorHome,
                                                      vexa::TextCommand::CursorEnd}));
  // Tab typed into the box is not the debug switch.
  input().update();
  processor_.handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Tab));
  EXPECT_FALSE(input().isPressed("debug"));
  processor_.clearTextInputTarget(&box);
  processor_.handleEvent(keyEvent(sf::Event::KeyReleased, sf::Keyboard::Left));
  processor_.handleEvent(keyEvent(sf::Event::KeyReleased, sf::Keyboard::Delete));
}

} // namespace
