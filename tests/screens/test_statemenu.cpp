#include "app/coloredpushbutton.h"
#include "bots/gamebotbrain.h"
#include "brains/driverregistry.h"
#include "brains/geneticbraingrouped.h"
#include "brains/geneticbrainseparate.h"
#include "brains/geneticbraintimeattack.h"
#include "brains/tarvokbrain.h"
#include "brains/playerbrain.h"
#include "screens/menutexts.h"
#include "screens/statemenu.h"
#include "testapp.h"

#include <vexa/core/components.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using pod::RaceTeamButtons::PlayerAndBlocker;
using pod::RaceTeamButtons::Steering;
using pod::RaceTeamButtons::TwoPlayers;

namespace {

bool visible(const pod::ColoredPushButton* button) {
  return button->isVisible() && button->isEnabled();
}

bool isKeyboard(int choice) { return choice == PlayerAndBlocker || choice == TwoPlayers; }

// A computer driver exists once its planner is registered.
bool available(int choice) {
  return isKeyboard(choice) ||
         pod::createDriver(pod::StateMenu::brainLabel(choice), false) != nullptr;
}

// The words of a text, whatever wrapping did to its spaces and line breaks.
std::string withoutLineBreaks(const std::string& text) {
  std::istringstream in(text);
  std::string word, words;
  while (in >> word)
    words += word + ' ';
  return words;
}

// A menu of its own for every test, built on the game's components.
class StateMenuDisplay : public ::testing::Test {
protected:
  void SetUp() override {
    testapp::app();
    testapp::states().races.clear();
    ::testing::internal::CaptureStdout();
    menu_ = std::make_unique<pod::StateMenu>();
    const bool ok = menu_->init();
    loadOutput_ = ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ok);
  }
  void TearDown() override { testapp::states().races.clear(); }

  std::vector<pod::RaceConfiguration>& races() { return testapp::states().races; }

  void choose(int team1, int team2, bool team2First = false) {
    menu_->selectTeam1(-1);
    menu_->selectTeam2(-1);
    if (team2First)
      menu_->selectTeam2(team2);
    menu_->selectTeam1(team1);
    if (!team2First)
      menu_->selectTeam2(team2);
  }

  void click(pod::ColoredPushButton* button) {
    const sf::FloatRect bounds = button->globalBounds();
    const qutils::Vec2 centre(bounds.left + bounds.width / 2.f, bounds.top + bounds.height / 2.f);
    menu_->sceneGraph().updateHover(centre);
    menu_->sceneGraph().touchDown(centre);
    menu_->sceneGraph().touchUp(centre);
    menu_->sceneGraph().updateHover({-100.f, -100.f});
  }

  std::unique_ptr<pod::StateMenu> menu_;
  std::string loadOutput_;
};

TEST_F(StateMenuDisplay, ListsEveryTrackOfTheFolder) {
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator("resources/tracks"))
    files += entry.path().extension() == ".prt";
  ASSERT_GT(files, 0u);
  EXPECT_EQ(menu_->trackButtons().size(), files);
  EXPECT_NE(loadOutput_.find("Loaded track "), std::string::npos);
}

TEST_F(StateMenuDisplay, NoTwoTeamsFightOverOneKeySet) {
  for (int first = -1; first < pod::RaceTeamButtons::COUNT; ++first) {
    for (int second = -1; second < pod::RaceTeamButtons::COUNT; ++second) {
      SCOPED_TRACE(std::to_string(first) + " then " + std::to_string(second));
      // Team 1 chooses first, then team 2.
      choose(first, second);
      EXPECT_EQ(menu_->team2Choice(), second);
      const bool conflict =
          (second == TwoPlayers && isKeyboard(first)) ||
          (second == PlayerAndBlocker && first == TwoPlayers);
      EXPECT_EQ(menu_->team1Choice(), conflict ? Steering : first);
      for (int i = 0; i < pod::RaceTeamButtons::COUNT; ++i)
        EXPECT_EQ(menu_->team2Button(i)->isToggledOn(), i == second);

      // And the other way round.
      choose(second, first, true);
      EXPECT_EQ(menu_->team1Choice(), second);
      EXPECT_EQ(menu_->team2Choice(), conflict ? Steering : first);
      EXPECT_EQ(visible(menu_->raceButton()), first >= 0 && second >= 0);
    }
  }
  // Two single players, one on each key set.
  choose(PlayerAndBlocker, PlayerAndBlocker);
  EXPECT_EQ(menu_->team1Choice(), PlayerAndBlocker);
  EXPECT_EQ(menu_->team2Choice(), PlayerAndBlocker);
}

TEST_F(StateMenuDisplay, SwapExchangesChoicesAndDescriptions) {
  choose(2, PlayerAndBlocker);
  EXPECT_EQ(withoutLineBreaks(menu_->team2Description().getString()),
            withoutLineBreaks(pod::driverDescription(PlayerAndBlocker, false)));
  const std::string description1 = menu_->team1Description().getString();
  click(menu_->swapButton());
  EXPECT_EQ(menu_->team1Choice(), PlayerAndBlocker);
  EXPECT_EQ(menu_->team2Choice(), 2);
  EXPECT_EQ(std::string(menu_->team2Description().getString()), description1);
  // The player now has team 1's keys.
  EXPECT_EQ(withoutLineBreaks(menu_->team1Description().getString()),
            withoutLineBreaks(pod::driverDescription(PlayerAndBlocker, true)));

  // Alone, a choice just changes side.
  choose(4, -1);
  menu_->swapTeams();
  EXPECT_EQ(menu_->team1Choice(), -1);
  EXPECT_EQ(menu_->team2Choice(), 4);
  EXPECT_FALSE(visible(menu_->raceButton()));
  EXPECT_FALSE(menu_->team1Button(4)->isToggledOn());
  EXPECT_TRUE(menu_->team2Button(4)->isToggledOn());
}

TEST_F(StateMenuDisplay, TimeAttackSwapsTheTeamColumnsForToggles) {
  choose(2, 3);
  click(menu_->timeAttackButton());
  EXPECT_TRUE(menu_->isTimeAttack());
  EXPECT_FALSE(menu_->raceModeButton()->isToggledOn());
  EXPECT_FALSE(visible(menu_->swapButton()));
  EXPECT_FALSE(visible(menu_->team1Button(0)));
  // Race shows while at least one toggle is on.
  for (int j = 0; j < pod::TimeAttackToggles::COUNT; ++j) {
    EXPECT_TRUE(visible(menu_->raceButton()));
    click(menu_->timeAttackToggle(j));
    EXPECT_FALSE(menu_->timeAttackToggle(j)->isToggledOn());
  }
  EXPECT_FALSE(visible(menu_->raceButton()));
  click(menu_->timeAttackToggle(pod::TimeAttackToggles::Player2));
  EXPECT_TRUE(visible(menu_->raceButton()));

  // Back in race mode the choices are still there.
  click(menu_->raceModeButton());
  EXPECT_FALSE(menu_->isTimeAttack());
  EXPECT_EQ(menu_->team1Choice(), 2);
  EXPECT_EQ(menu_->team2Choice(), 3);
  EXPECT_TRUE(visible(menu_->raceButton()));
  EXPECT_FALSE(visible(menu_->timeAttackToggle(0)));
}

TEST_F(StateMenuDisplay, ClicksReachTheButtons) {
  click(menu_->team1Button(3));
  click(menu_->team2Button(PlayerAndBlocker));
  EXPECT_EQ(menu_->team1Choice(), 3);
  EXPECT_EQ(menu_->team2Choice(), PlayerAndBlocker);
  // Track selection is exclusive.
  const int count = static_cast<int>(menu_->tracks().size());
  for (int k = count - 1; k >= 0; --k) {
    click(menu_->trackButton(k));
    EXPECT_EQ(menu_->selectedTrack(), k);
    for (int n = 0; n < count; ++n)
      EXPECT_EQ(menu_->trackButton(n)->isToggledOn(), n == k);
  }
  // A hidden button takes no click.
  click(menu_->timeAttackToggle(0));
  EXPECT_TRUE(menu_->timeAttackToggle(0)->isToggledOn());

  menu_->selectTrack(count - 1);
  click(menu_->team1Button(Steering));
  click(menu_->raceButton());
  ASSERT_EQ(races().size(), 1u);
  EXPECT_EQ(races()[0].track.name, menu_->tracks()[count - 1].name);
}

// The keyboard pods of each pairing, pods numbered team * 2 + k.
std::pair<int, int> keyboardPods(int team1, int team2) {
  if (team1 == PlayerAndBlocker)
    return {0, team2 == PlayerAndBlocker ? 2 : -1};
  if (team1 == TwoPlayers)
    return {0, 1};
  if (team2 == PlayerAndBlocker)
    return {-1, 2};
  if (team2 == TwoPlayers)
    return {2, 3};
  return {-1, -1};
}

// The brain a driver choice must build: its class and, for the planners,
// the variant ("grouped dedicated predictive", "separate hunter", ...).
std::string variant(int choice) {
  switch (choice) {
  case 0: return "steering";
  case 1: return "grouped dedicated";
  case 2: return "grouped dedicated predictive";
  case 3: return "grouped runners";
  case 4: return "separate hunter";
  case 5: return "separate runners";
  default: return "player";
  }
}

std::string variant(const pod::AbstractBrain* brain) {
  if (dynamic_cast<const pod::TarvokBrain*>(brain))
    return "steering";
  if (auto* g = dynamic_cast<const pod::GeneticBrainGrouped*>(brain))
    return std::string("grouped ") + (g->dedicated() ? "dedicated" : "runners") +
           (g->predictive() ? " predictive" : "");
  if (auto* s = dynamic_cast<const pod::GeneticBrainSeparate*>(brain))
    return std::string("separate ") + (s->hunter() ? "hunter" : "runners");
  if (dynamic_cast<const pod::GeneticBrainTimeAttack*>(brain))
    return "time attack";
  return "player";
}

TEST_F(StateMenuDisplay, EveryPairingLaunchesItsConfiguration) {
  for (int first = 0; first < pod::RaceTeamButtons::COUNT; ++first) {
    for (int second = 0; second < pod::RaceTeamButtons::COUNT; ++second) {
      choose(first, second);
      const int choices[2] = {menu_->team1Choice(), menu_->team2Choice()};
      SCOPED_TRACE(std::to_string(choices[0]) + " against " + std::to_string(choices[1]));
      races().clear();
      menu_->launchRace();
      if (!available(choices[0]) || !available(choices[1])) {
        EXPECT_TRUE(races().empty());
        continue;
      }
      ASSERT_EQ(races().size(), 1u);
      const pod::RaceConfiguration& race = races()[0];
      EXPECT_FALSE(race.timeAttack);
      EXPECT_EQ(race.nbPodsPerTeam, 2);
      EXPECT_EQ(race.teamNames, (std::vector<std::string>{pod::StateMenu::brainLabel(choices[0]),
                                                          pod::StateMenu::brainLabel(choices[1])}));
      EXPECT_EQ(race.track.name, menu_->tracks()[menu_->selectedTrack()].name);
      EXPECT_EQ(std::make_pair(race.player1Pod, race.player2Pod),
                keyboardPods(choices[0], choices[1]));
      ASSERT_EQ(race.brains.size(), 2u);
      for (int team = 0; team < 2; ++team) {
        const pod::AbstractBrain* brain = race.brains[team].get();
        EXPECT_EQ(brain->team(), team);
        auto* player = dynamic_cast<const pod::PlayerBrain*>(brain);
        EXPECT_EQ(player != nullptr, choices[team] == PlayerAndBlocker);
        // Team 2's single player takes the letter keys.
        if (player) {
          EXPECT_EQ(player->mainKeys(), team == 0);
        }
        EXPECT_EQ(dynamic_cast<const pod::TwoPlayerBrain*>(brain) != nullptr,
                  choices[team] == TwoPlayers);
        EXPECT_EQ(variant(brain), variant(choices[team])) << "team " << team;
      }
    }
  }
}

TEST_F(StateMenuDisplay, TimeAttackGivesTeamsInToggleOrder) {
  const std::string names[4] = {"Steering heuristics", "Genetic runner", "Player 1", "Player 2"};
  const bool geneticAvailable = pod::createDriver("Genetic runner", true) != nullptr;
  menu_->setTimeAttackMode();
  for (int mask = 0; mask < 16; ++mask) {
    SCOPED_TRACE(mask);
    for (int j = 0; j < 4; ++j)
      menu_->timeAttackToggle(j)->setToggled((mask >> j) & 1);
    menu_->refreshRaceButton();
    EXPECT_EQ(visible(menu_->raceButton()), mask != 0);
    races().clear();
    menu_->launchRace();
    if (mask == 0 || ((mask & 2) && !geneticAvailable)) {
      EXPECT_TRUE(races().empty());
      continue;
    }
    ASSERT_EQ(races().size(), 1u);
    const pod::RaceConfiguration& race = races()[0];
    EXPECT_TRUE(race.timeAttack);
    EXPECT_EQ(race.nbPodsPerTeam, 1);
    // The chosen drivers in toggle order, each its own team; players keep their keys.
    std::vector<std::string> expectedNames;
    int players[2] = {-1, -1};
    for (int j = 0; j < 4; ++j) {
      if (!((mask >> j) & 1))
        continue;
      const int team = static_cast<int>(expectedNames.size());
      expectedNames.push_back(names[j]);
      if (j >= 2)
        players[j - 2] = team;
      ASSERT_LT(team, static_cast<int>(race.brains.size()));
      EXPECT_EQ(race.brains[team]->team(), team);
      auto* player = dynamic_cast<const pod::PlayerBrain*>(race.brains[team].get());
      ASSERT_EQ(player != nullptr, j >= 2);
      if (j < 2) {
        EXPECT_EQ(variant(race.brains[team].get()), j == 0 ? "steering" : "time attack");
      }
      if (player) {
        EXPECT_EQ(player->mainKeys(), j == 2);
      }
    }
    EXPECT_EQ(race.teamNames, expectedNames);
    EXPECT_EQ(race.brains.size(), expectedNames.size());
    EXPECT_EQ(race.player1Pod, players[0]);
    EXPECT_EQ(race.player2Pod, players[1]);
  }
}

TEST_F(StateMenuDisplay, TriviaCycleAndSlide) {
  // The panel opens on the second entry and cycles through the nine.
  EXPECT_EQ(menu_->triviaIndex(), 1);
  EXPECT_EQ(withoutLineBreaks(menu_->triviaText().getString()),
            withoutLineBreaks(pod::triviaEntries()[1]));
  for (int i = 0; i < 9; ++i)
    click(menu_->moreTriviaButton());
  EXPECT_EQ(menu_->triviaIndex(), 1);
  menu_->nextTrivia();
  EXPECT_EQ(menu_->triviaIndex(), 2);

  // Hovering the visible strip eases the panel in, never overshooting;
  // outside the window it is not hovered even where it lies.
  const sf::Vector2u size(1600, 900);
  const sf::Vector2f retracted = menu_->triviaAnchor();
  float previous = retracted.x;
  for (int frame = 0; frame < 200; ++frame) {
    menu_->slideTrivia({1590.f, 100.f}, size);
    EXPECT_LE(menu_->triviaAnchor().x, previous);
    previous = menu_->triviaAnchor().x;
  }
  EXPECT_LT(previous, retracted.x);
  menu_->slideTrivia({1700.f, 100.f}, size);
  EXPECT_FALSE(menu_->isTriviaHovered());
  for (int frame = 0; frame < 200; ++frame)
    menu_->slideTrivia({100.f, 100.f}, size);
  EXPECT_EQ(menu_->triviaAnchor(), retracted);
}

TEST_F(StateMenuDisplay, TrackListFollowsTheFolderAndWithoutTracksThereIsNoRace) {
  const fs::path root = fs::temp_directory_path() / "vuzuder-no-tracks";
  fs::remove_all(root);
  fs::create_directories(root / "tracks");
  std::ofstream(root / "tracks" / "broken.prt") << "not a track\n";
  const std::string previous = testapp::paths().root;
  testapp::paths().root = root.string() + "/";
  const auto write = [&](const char* file, const char* name) {
    std::ofstream(root / "tracks" / file) << name << "\n0 [0,0] 200\n1 [900,0] 200\n";
  };

  pod::StateMenu menu;
  ::testing::internal::CaptureStdout();
  const bool ok = menu.init();
  const std::string out = ::testing::internal::GetCapturedStdout();

  EXPECT_TRUE(ok);
  EXPECT_EQ(out, "Failed to load track broken.prt (no checkpoint)\n");
  EXPECT_TRUE(menu.tracks().empty() && menu.trackButtons().empty());
  menu.selectTeam1(Steering);
  menu.selectTeam2(Steering);
  EXPECT_FALSE(visible(menu.raceButton()));
  menu.launchRace();
  EXPECT_TRUE(races().empty());
  menu.draw(1.f / 60.f, 1.f); // it still draws

  // Reloads keep the selected track by file name while it exists.
  ::testing::internal::CaptureStdout();
  write("b.prt", "Bee");
  menu.reloadTracks();
  EXPECT_TRUE(visible(menu.raceButton()));
  write("a.prt", "Ay");
  menu.reloadTracks();
  ASSERT_EQ(menu.trackButtons().size(), 2u);
  EXPECT_EQ(menu.tracks()[menu.selectedTrack()].name, "Bee");
  EXPECT_TRUE(menu.trackButton(1)->isToggledOn());
  fs::remove(root / "tracks" / "b.prt");
  menu.reloadTracks();
  ::testing::internal::GetCapturedStdout();
  ASSERT_EQ(menu.trackButtons().size(), 1u);
  EXPECT_EQ(menu.selectedTrack(), 0);
  EXPECT_TRUE(menu.trackButton(0)->isToggledOn());

  testapp::paths().root = previous;
  fs::remove_all(root);
}

} // namespace

// Bots given on the command line join both team columns and the time-attack
// toggles, four pods at most.
TEST_F(StateMenuDisplay, FourBotsJoinTheChoicesAndTheMenuStaysTidy) {
  auto& bots = pod::bots::gameBots();
  for (const char* name : {"Bot A", "Bot B", "Bot C", "Bot D"})
    bots.push_back({name, "true", {"true"}});
  pod::StateMenu menu;
  ::testing::internal::CaptureStdout();
  const bool ok = menu.init();
  ::testing::internal::GetCapturedStdout();
  bots.clear();
  ASSERT_TRUE(ok);

  const int count = menu.choiceCount();
  ASSERT_EQ(count, pod::RaceTeamButtons::COUNT + 4);
  for (bool team1 : {true, false})
    for (int i = 0; i < count; ++i)
      EXPECT_TRUE(visible(menu.choiceButton(team1, i))) << i;
  EXPECT_EQ(menu.choiceButton(true, count - 1)->text().getString().toAnsiString(), "Bot D");

  menu.selectTeam1(pod::RaceTeamButtons::COUNT + 1);
  menu.selectTeam2(Steering);
  menu.launchRace();
  ASSERT_EQ(races().size(), 1u);
  EXPECT_EQ(races()[0].teamNames, (std::vector<std::string>{"Bot B", "Steering heuristics"}));
  EXPECT_NE(dynamic_cast<const pod::bots::GameBotBrain*>(races()[0].brains[0].get()), nullptr);

  // Time attack: the bots' toggles start off, and four pods is the most.
  menu.setTimeAttackMode();
  for (int k = 0; k < 4; ++k) {
    EXPECT_TRUE(visible(menu.botToggle(k)));
    EXPECT_FALSE(menu.botToggle(k)->isToggledOn());
    for (int j = 0; j < pod::TimeAttackToggles::COUNT; ++j)
      EXPECT_FALSE(menu.botToggle(k)->globalBounds().intersects(menu.timeAttackToggle(j)->globalBounds()));
  }
  const auto click = [&menu](pod::ColoredPushButton* button) {
    const sf::FloatRect b = button->globalBounds();
    const qutils::Vec2 centre(b.left + b.width / 2.f, b.top + b.height / 2.f);
    menu.sceneGraph().updateHover(centre);
    menu.sceneGraph().touchDown(centre);
    menu.sceneGraph().touchUp(centre);
  };
  click(menu.timeAttackToggle(1));
  click(menu.botToggle(2));
  click(menu.botToggle(3));
  EXPECT_TRUE(menu.botToggle(2)->isToggledOn());
  EXPECT_FALSE(menu.botToggle(3)->isToggledOn()) << "a fifth pod was let in";
  races().clear();
  menu.launchRace();
  ASSERT_EQ(races().size(), 1u);
  EXPECT_EQ(races()[0].teamNames,
            (std::vector<std::string>{"Steering heuristics", "Player 1", "Player 2", "Bot C"}));
}
