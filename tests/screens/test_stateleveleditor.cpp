#include "screens/stateleveleditor.h"
#include "app/coloredpushbutton.h"
#include "layoutcheck.h"
#include "testapp.h"

#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/inputprocessor.h>
#include <vexa/core/pathmanager.h>
#include <vexa/gui/nodes/shapeshiftertextboxnode.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Mouse.hpp>
#include <gtest/gtest.h>

#include <filesystem>
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
  static sf::Vector2i centreOf(const sf::FloatRect& r) {
    return {static_cast<int>(r.left + r.width / 2.f), static_cast<int>(r.top + r.height / 2.f)};
  }
  std::size_t count() const { return editor_->edit().track().checkpoints.size(); }
  std::string status() const { return editor_->statusText().getString().toAnsiString(); }

  pod::StateLevelEditor* editor_ = nullptr;
  std::stringstream log_;
  std::streambuf* quiet_ = nullptr;
};

const sf::Vector2i kGround(700, 500);

} // namespace

TEST_F(StateLevelEditorDisplay, WidgetsAndTheNameBoxKeepTheirInputFromTheTrack) {
  const sf::Vector2i save = centreOf(editor_->saveButton()->globalBounds());
  const sf::Vector2i box = centreOf(editor_->fileNameBox()->globalBounds());
  step(kGround, {"alttouch"}, {"alttouch"});
  ASSERT_EQ(count(), 1u);
  const qutils::Vec2 placed = editor_->edit().track().checkpoints[0].position;
  // A click off its centre selects it and moves nothing.
  const sf::Vector2i offCentre = kGround + sf::Vector2i(6, -4);
  step(offCentre, {"touch"});
  step(offCentre, {}, {"touch"});
  EXPECT_EQ(editor_->edit().selected(), 0);
  EXPECT_EQ(editor_->edit().track().checkpoints[0].position, placed);

  // A press held on "Save" drags nothing; the release saves, or says why not.
  step(save, {"touch"});
  step(save);
  step(save, {}, {"touch"});
  EXPECT_EQ(editor_->edit().track().checkpoints[0].position, placed);
  EXPECT_EQ(editor_->edit().selected(), 0);
  EXPECT_EQ(status(), "Not saved: a track needs at least 2 checkpoints");

  // Delete and Escape typed into the name box are the box's.
  step(box, {"touch"}, {"touch"});
  ASSERT_TRUE(editor_->fileNameBox()->isEditing());
  type('x');
  step(box, {"erase"}, {"erase"});
  type(27);
  step(box, {"escape"}, {"escape"});
  EXPECT_EQ(count(), 1u);
  EXPECT_EQ(testapp::states().currentState(), editor_);
  EXPECT_TRUE(editor_->fileName().isEmpty());

  // The status line follows the edit on screen.
  step(kGround, {"erase"}, {"erase"});
  EXPECT_EQ(count(), 0u);
  EXPECT_EQ(status(), "Checkpoint 1 erased: 0 checkpoints");
  step(kGround, {"escape"}, {"escape"});
  EXPECT_EQ(testapp::states().currentIndex(), 0u);
}

TEST_F(StateLevelEditorDisplay, NameBoxRefusesWhatNamesCannotHoldAndSaysWhy) {
  step(centreOf(editor_->fileNameBox()->globalBounds()), {"touch"}, {"touch"});
  ASSERT_TRUE(editor_->fileNameBox()->isEditing());
  type('a');
  type(0xE9); // é
  EXPECT_EQ(editor_->fileNameBox()->string(), "a");
  EXPECT_NE(status().find("only letters"), std::string::npos) << status();

  // The longest name fits in the box; one more character is refused.
  for (int i = 1; i < 64; ++i)
    type('m');
  type('m');
  EXPECT_EQ(editor_->fileNameBox()->string().getSize(), 64u);
  EXPECT_NE(status().find("at most 64"), std::string::npos) << status();
  const sf::FloatRect frame = editor_->fileNameBox()->globalBounds();
  const sf::FloatRect text = editor_->fileNameBox()->worldTransform().transformRect(
      editor_->fileNameBox()->text().getGlobalBounds());
  EXPECT_LE(frame.left, text.left);
  EXPECT_LE(text.left + text.width, frame.left + frame.width);
  type(27);
}

TEST_F(StateLevelEditorDisplay, WheelZoomsAboutThePointerAndDragsPanWithIt) {
  const sf::Vector2i p(400, 600);
  step(p);
  const qutils::Vec2 held = editor_->mouseWorldPosition();
  const float zoom = editor_->view().zoom();
  step(p, {"zoomin"}, {"zoomin"});
  ASSERT_LT(editor_->view().zoom(), zoom);
  EXPECT_NEAR(editor_->mouseWorldPosition().x, held.x, 1.f);
  EXPECT_NEAR(editor_->mouseWorldPosition().y, held.y, 1.f);

  // The world under the pointer goes along with a middle drag.
  step(p, {"pan"});
  step(p + sf::Vector2i(120, -80));
  step(p + sf::Vector2i(120, -80), {}, {"pan"});
  EXPECT_NEAR(editor_->mouseWorldPosition().x, held.x, 1.f);
  EXPECT_NEAR(editor_->mouseWorldPosition().y, held.y, 1.f);
  EXPECT_EQ(count(), 0u);
}

TEST_F(StateLevelEditorDisplay, EveryShippedTrackLoadsWithEveryCheckpointInView) {
  const sf::RenderWindow& window = *vexa::graphics().window();
  const pod::EditorView::Area& area = editor_->view().area();
  const sf::FloatRect shown(area.left, area.top, area.width, area.height);
  int tracks = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(vexa::pathManager().resourcesPath() + "tracks")) {
    // Looking elsewhere first: the load must bring the track into view.
    for (int i = 0; i < 8; ++i)
      step({200, 300}, {"zoomin"}, {"zoomin"});
    editor_->fileNameBox()->setString(entry.path().stem().string());
    editor_->fileNameBox()->commit();
    editor_->loadTrack();
    ASSERT_NE(status().find("Loaded"), std::string::npos) << status();
    ++tracks;
    const sf::View view = editor_->camera().view();
    for (const pod::Checkpoint& cp : editor_->edit().track().checkpoints) {
      for (const qutils::Vec2 d : {qutils::Vec2(-200, -200), qutils::Vec2(200, 200)}) {
        const sf::Vector2i px =
            window.mapCoordsToPixel({cp.position.x + d.x, cp.position.y + d.y}, view);
        EXPECT_TRUE(shown.contains(static_cast<float>(px.x), static_cast<float>(px.y)))
            << entry.path() << " checkpoint at " << cp.position.toString();
      }
    }
  }
  EXPECT_GE(tracks, 10);
}

TEST_F(StateLevelEditorDisplay, LaysOutInsideTheWindowWithoutOverlapsAtEverySize) {
  editor_->edit().setStatus("Saved " + std::string(300, 'x') + ": 12 checkpoints");
  for (const sf::Vector2u& size : layoutcheck::windowSizes()) {
    editor_->layout(sf::Vector2f(size));
    std::vector<layoutcheck::Box> boxes;
    for (const auto& [name, rect] : editor_->layoutRects())
      boxes.push_back({name, rect});
    layoutcheck::expectTidy("track editor", boxes, size);
  }
  editor_->updateLayout();
}
