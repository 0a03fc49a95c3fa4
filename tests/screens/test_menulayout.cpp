// The menu laid out at every window size: nothing overlaps, nothing leaves
// the window, however many tracks and bots there are.
#include "app/coloredpushbutton.h"
#include "bots/gamebotbrain.h"
#include "layoutcheck.h"
#include "screens/statemenu.h"
#include "race/physics.h"
#include "testapp.h"
#include "trace/tracefiles.h"

#include <vexa/core/components.h>
#include <vexa/core/graphics.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <set>
#include <string>

namespace fs = std::filesystem;
using namespace pod;

namespace {

bool inside(const sf::FloatRect& outer, const sf::FloatRect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

// The menu's boxes: its panels and titles, and the visible buttons but the
// trivia panel's own (it slides in with the panel).
std::vector<layoutcheck::Box> menuBoxes(pod::StateMenu& menu) {
  std::vector<layoutcheck::Box> boxes;
  for (const auto& [name, rect] : menu.panelBoxes())
    boxes.push_back({name, rect});
  std::vector<layoutcheck::Box> widgets;
  layoutcheck::addVisibleWidgets(menu.sceneGraph().root(), widgets);
  for (const layoutcheck::Box& box : widgets)
    if (box.name != "More trivia !")
      boxes.push_back(box);
  if (menu.replayList().button())
    boxes.push_back({"Replays", menu.replayList().button()->globalBounds()});
  return boxes;
}

// The menu reads its size from the window's view: a view of any size lays it
// out as a window of that size would, off screen.
void layOut(pod::StateMenu& menu, const sf::Vector2u& size) {
  vexa::graphics().window()->setView(
      sf::View(sf::FloatRect(0.f, 0.f, static_cast<float>(size.x), static_cast<float>(size.y))));
  menu.updateLayout();
}

class MenuLayoutDisplay : public ::testing::Test {
protected:
  void SetUp() override {
    testapp::app();
    previousRoot_ = testapp::paths().root;
    // One folder per test: the tests may run side by side.
    root_ = fs::temp_directory_path() /
            (std::string("vuzuder-menu-layout-") +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "tracks");
  }
  void TearDown() override {
    testapp::paths().root = previousRoot_;
    const sf::Vector2u size = vexa::graphics().window()->getSize();
    vexa::graphics().onResize(size.x, size.y);
    fs::remove_all(root_);
  }

  // A menu over a folder of n tracks with long names.
  std::unique_ptr<pod::StateMenu> menuWithTracks(int n) {
    for (int k = 0; k < n; ++k)
      std::ofstream(root_ / "tracks" / ("t" + std::to_string(k + 10) + ".prt"))
          << "Winding Road " << k << "\n0 [0,0] 200\n1 [5000,0] 200\n2 [2500,3000] 200\n";
    testapp::paths().root = root_.string() + "/";
    auto menu = std::make_unique<pod::StateMenu>();
    ::testing::internal::CaptureStdout();
    const bool ok = menu->init();
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(ok);
    return menu;
  }

  fs::path root_;
  std::string previousRoot_;
};

TEST_F(MenuLayoutDisplay, EveryWindowSizeAndTrackCountLaysTheMenuOutTidily) {
  for (int tracks : {5, 14, 40}) {
    auto menu = menuWithTracks(tracks);
    ASSERT_EQ(menu->trackButtons().size(), static_cast<std::size_t>(tracks));
    for (const sf::Vector2u& size : layoutcheck::windowSizes()) {
      SCOPED_TRACE(std::to_string(tracks) + " tracks");
      const std::string name = "menu, " + std::to_string(tracks) + " tracks";
      menu->setRaceMode();
      menu->selectTeam1(4);
      menu->selectTeam2(pod::RaceTeamButtons::PlayerAndBlocker);
      layOut(*menu, size);
      layoutcheck::expectTidy(name + ", race", menuBoxes(*menu), size);
      // Every description and the rules stay inside their panels.
      EXPECT_TRUE(inside(menu->modePanelRect(), menu->rulesText().getGlobalBounds()));
      for (int i = 0; i < pod::RaceTeamButtons::COUNT; ++i) {
        menu->selectTeam1(i);
        EXPECT_TRUE(inside(menu->descriptionPanelRect(true),
                           menu->team1Description().getGlobalBounds()))
            << "driver " << i << " at " << size.x;
      }
      menu->setTimeAttackMode();
      layOut(*menu, size);
      layoutcheck::expectTidy(name + ", time attack", menuBoxes(*menu), size);

      // Page by page, every track shows exactly once.
      std::set<const pod::ColoredPushButton*> seen;
      menu->showTrackPage(0);
      for (int page = 0; page < tracks; ++page) {
        for (const pod::ColoredPushButton* button : menu->trackButtons())
          if (button->isVisible()) {
            EXPECT_TRUE(seen.insert(button).second);
          }
        if (!menu->nextTracksButton()->isVisible())
          break;
        menu->showTrackPage(menu->trackPage() + 1);
        layoutcheck::expectTidy(name + ", next page", menuBoxes(*menu), size);
      }
      EXPECT_EQ(seen.size(), static_cast<std::size_t>(tracks));
      // Choosing a track shows its page.
      menu->selectTrack(tracks - 1);
      EXPECT_TRUE(menu->trackButton(tracks - 1)->isVisible());
    }
  }
}

// The trivia panel's text shows only where the panel is: all of it inside
// the window, clear of its button, while it slides in too.
TEST_F(MenuLayoutDisplay, EveryTriviaEntryStaysInsideThePanelAndTheWindow) {
  auto menu = menuWithTracks(3);
  const sf::Vector2u size = layoutcheck::windowSizes().front();
  layOut(*menu, size);
  const sf::FloatRect window(0.f, 0.f, static_cast<float>(size.x), static_cast<float>(size.y));
  for (std::size_t entry = 0; entry < menu->trivia().size(); ++entry) {
    SCOPED_TRACE(menu->triviaIndex());
    for (int frame = 0; frame < 200; ++frame) {
      menu->slideTrivia({static_cast<float>(size.x) - 10.f, 100.f}, size);
      if (!menu->isTriviaTextShown())
        continue;
      const sf::FloatRect text = menu->triviaText().getGlobalBounds();
      ASSERT_TRUE(inside(window, text)) << "frame " << frame;
      ASSERT_TRUE(inside(menu->triviaPanelRect(), text)) << "frame " << frame;
      ASSERT_FALSE(text.intersects(menu->moreTriviaButton()->globalBounds()));
    }
    EXPECT_TRUE(menu->isTriviaTextShown());
    for (int frame = 0; frame < 200; ++frame)
      menu->slideTrivia({10.f, 500.f}, size);
    menu->nextTrivia();
  }
}

// Three bots in each team column: the rows keep clear gaps, and a short
// name sits on its row as a long one does.
TEST_F(MenuLayoutDisplay, BotButtonsKeepApartAndTheirLabelsOnTheirRows) {
  auto& bots = pod::bots::gameBots();
  for (const char* name : {"py", "Bot B", "Qjg"})
    bots.push_back({name, "true", {"true"}});
  auto menu = menuWithTracks(3);
  bots.clear();
  for (const sf::Vector2u& size : layoutcheck::windowSizes()) {
    layOut(*menu, size);
    layoutcheck::expectTidy("menu with three bots", menuBoxes(*menu), size);
    for (bool team1 : {true, false}) {
      for (int i = 1; i < menu->choiceCount(); ++i) {
        const sf::FloatRect above = menu->choiceButton(team1, i - 1)->globalBounds();
        const sf::FloatRect below = menu->choiceButton(team1, i)->globalBounds();
        EXPECT_GE(below.top - (above.top + above.height), 4.f) << i;
      }
      // Baselines: one character size below each text's top.
      const auto baselineOffset = [&](int i) {
        const pod::ColoredPushButton& b = *menu->choiceButton(team1, i);
        const sf::Text& t = b.text();
        const float baseline = t.getTransform().transformPoint(
            0.f, static_cast<float>(t.getCharacterSize())).y;
        const sf::FloatRect shape = b.globalBounds();
        return baseline + b.worldPosition().y - (shape.top + shape.height / 2.f);
      };
      const float reference = baselineOffset(pod::RaceTeamButtons::COUNT + 1); // "Bot B"
      EXPECT_NEAR(baselineOffset(pod::RaceTeamButtons::COUNT), reference, 0.5f); // "py"
      EXPECT_NEAR(baselineOffset(pod::RaceTeamButtons::COUNT + 2), reference, 0.5f);
    }
  }
}

// In time attack every pod is its own driver: no "TEAMS" heading there. A
// credit line whose page nothing can open says so on the menu, whether no
// opener exists or the opener fails later.
TEST_F(MenuLayoutDisplay, TimeAttackHeadingAndCreditsThatCannotOpen) {
  auto menu = menuWithTracks(3);
  menu->setTimeAttackMode();
  EXPECT_EQ(menu->teamsHeading().getString().find("TEAMS"), std::string::npos);
  menu->setRaceMode();
  EXPECT_EQ(menu->teamsHeading().getString(), "TEAMS");

  const std::string previousPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  fs::create_directories(root_ / "empty");
  std::ofstream(root_ / "xdg-open") << "#!/bin/sh\nexit 3\n";
  fs::permissions(root_ / "xdg-open", fs::perms::owner_all);
  ::testing::internal::CaptureStderr();
  setenv("PATH", (root_ / "empty").c_str(), 1);
  menu->openPage("docs/ART.md");
  const std::string none = menu->openStatus().getString();
  setenv("PATH", root_.c_str(), 1);
  menu->openPage("README.md");
  setenv("PATH", previousPath.c_str(), 1);
  EXPECT_NE(none.find("Could not open docs/ART.md"), std::string::npos) << none;
  for (int i = 0; i < 400 && menu->openStatus().getString().isEmpty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    menu->update(1.f / 60.f);
  }
  ::testing::internal::GetCapturedStderr();
  const std::string later = menu->openStatus().getString();
  EXPECT_NE(later.find("Could not open README.md"), std::string::npos) << later;
  for (const sf::Vector2u& size : layoutcheck::windowSizes()) {
    layOut(*menu, size);
    layoutcheck::expectTidy("menu with a credit's failure", menuBoxes(*menu), size);
  }
}

// The replay list, open over a folder of many races: newest first, each
// with its track, teams, length and date, and all of it inside the window.
TEST_F(MenuLayoutDisplay, ReplayListShowsEachRaceNewestFirstInsideTheWindow) {
  auto menu = menuWithTracks(3);
  const fs::path previous = fs::current_path();
  fs::current_path(root_);
  Track track = menu->tracks().front();
  Physics physics;
  physics.init(false, 2, 2, &track);
  const auto now = fs::file_time_type::clock::now();
  for (int k = 0; k < 14; ++k) {
    Trace trace;
    trace.begin(track, {"Team " + std::to_string(k), "Steering heuristics"},
                physics.getCurrentState(), 0.25f);
    for (int t = 0; t < k; ++t)
      trace.append(std::vector<Influence>(4), {}, physics.getCurrentState());
    std::string error;
    const std::string path = saveTraceIn(trace, replayFolder(), error);
    ASSERT_FALSE(path.empty()) << error;
    fs::last_write_time(path, now - std::chrono::hours(14 - k));
  }
  for (const sf::Vector2u& size : layoutcheck::windowSizes()) {
    layOut(*menu, size);
    ReplayList& list = menu->replayList();
    list.toggle();
    ASSERT_TRUE(list.isOpen());
    ASSERT_GE(list.items().size(), 8u);
    // The newest (team 13, 13 turns) first.
    const std::string first = list.items()[0]->text().getString();
    EXPECT_NE(first.find(track.name + ": Team 13 v Steering heuristics"), std::string::npos) << first;
    EXPECT_NE(first.find("13 turns (0:03)"), std::string::npos) << first;
    EXPECT_NE(first.find("20"), std::string::npos) << first; // the year of the date
    EXPECT_NE(std::string(list.items()[1]->text().getString()).find("Team 12"), std::string::npos);
    std::vector<layoutcheck::Box> boxes = {{"Replays", list.button()->globalBounds()},
                                           {"status", list.statusBounds()}};
    for (const pod::ColoredPushButton* item : list.items())
      boxes.push_back({item->text().getString(), item->globalBounds()});
    layoutcheck::expectTidy("replay list", boxes, size);
    const sf::FloatRect panel = list.listBounds();
    for (const pod::ColoredPushButton* item : list.items())
      EXPECT_TRUE(inside(panel, item->globalBounds()));
    EXPECT_TRUE(inside({0.f, 0.f, static_cast<float>(size.x), static_cast<float>(size.y)}, panel));
    list.toggle();
  }
  fs::current_path(previous);
}

} // namespace
