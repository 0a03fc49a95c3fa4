#include "screens/stateleveleditor.h"
#include "testapp.h"

#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/inputprocessor.h>
#include <vexa/gui/nodes/shapeshiftertextboxnode.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Mouse.hpp>
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace {

// The editor of the game's state manager, driven step by step with the
// pointer warped into the window.
class StateLevelEditorDisplay : public ::testing::Test {
protected:
  void SetUp() override {
    testapp::app();
    testapp::states().goToLevelEditor();
    editor_ = dynamic_cast<pod::StateLevelEditor*>(testapp::states().currentState());
    ASSERT_NE(editor_, nullptr);
    quiet_ = std::cout.rdbuf(log_.rdbuf());
  }
  void TearDown() override {
    testapp::states().goToMenu();
    std::cout.rdbuf(quiet_);
  }

  // One update step at window pixel p with the given buttons pressed,
  // released or still held.
  void step(sf::Vector2i p, std::initializer_list<const char*> press = {},
            std::initializer_list<const char*> release = {}) {
    sf::Mouse::setPosition(p, *vexa::graphics().window());
    vexa::InputManager& input = vexa::inputManager();
    input.update();
    for (const char* id : press)
      input.press(id);
    for (const char* id : release)
      input.release(id);
    editor_->update(1.f / 60.f);
  }
  void type(sf::Uint32 c) {
    sf::Event e;
    e.type = sf::Event::TextEntered;
    e.text.unicode = c;
    vexa::inputProcessor().handleEvent(e);
  }
  std::size_t count() const { return editor_->edit().track().checkpoints.size(); }

  pod::StateLevelEditor* editor_ = nullptr;
  std::stringstream log_;
  std::streambuf* quiet_ = nullptr;
};

const sf::Vector2i kGround(700, 500);
const sf::Vector2i kSave(110, 60);
const sf::Vector2i kBox(110, 30);

} // namespace

TEST_F(StateLevelEditorDisplay, WidgetsAndTheNameBoxKeepTheirInputFromTheTrack) {
  step(kGround, {"alttouch"}, {"alttouch"});
  ASSERT_EQ(count(), 1u);
  const qutils::Vec2 placed = editor_->edit().track().checkpoints[0].position;
  step(kGround, {"touch"});
  step(kGround, {}, {"touch"});
  EXPECT_EQ(editor_->edit().selected(), 0);

  // A press held on "Save" drags nothing; the release saves, or says why not.
  step(kSave, {"touch"});
  step(kSave);
  step(kSave, {}, {"touch"});
  EXPECT_EQ(editor_->edit().track().checkpoints[0].position, placed);
  EXPECT_EQ(editor_->edit().selected(), 0);
  EXPECT_EQ(editor_->statusText().getString().toAnsiString(),
            "Not saved: a track needs at least 2 checkpoints");

  // Delete and Escape typed into the name box are the box's.
  step(kBox, {"touch"}, {"touch"});
  ASSERT_TRUE(editor_->fileNameBox()->isEditing());
  type('x');
  step(kBox, {"erase"}, {"erase"});
  type(27);
  step(kBox, {"escape"}, {"escape"});
  EXPECT_EQ(count(), 1u);
  EXPECT_EQ(testapp::states().currentState(), editor_);
  EXPECT_TRUE(editor_->fileName().isEmpty());

  step(kGround, {"erase"}, {"erase"});
  EXPECT_EQ(count(), 0u);
  step(kGround, {"escape"}, {"escape"});
  EXPECT_EQ(testapp::states().currentIndex(), 0u);
}
