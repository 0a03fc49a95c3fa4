#include "app/coloredpushbutton.h"
#include "brains/driverregistry.h"
#include "brains/playerbrain.h"
#include "screens/menutexts.h"
#include "screens/statemenu.h"
#include "testapp.h"

#include <vexa/core/components.h>
#include <vexa/core/graphics.h>

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

  void choose(int team1, int team2) {
    menu_->selectTeam1(-1);
    menu_->selectTeam2(-1);
    menu_->selectTeam1(team1);
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

TEST_F(StateMenuDisplay, StartsInRaceModeWithNoTeamChosen) {
  EXPECT_EQ(menu_->team1Choice(), -1);
  EXPECT_EQ(menu_->team2Choice(), -1);
  EXPECT_FALSE(menu_->isTimeAttack());
  EXPECT_FALSE(visible(menu_->raceButton()));
  EXPECT_TRUE(menu_->raceModeButton()->isToggledOn());
  EXPECT_FALSE(menu_->timeAttackButton()->isToggledOn());
  for (int i = 0; i < pod::RaceTeamButtons::COUNT; ++i) {
    EXPECT_TRUE(visible(menu_->team1Button(i)));
    EXPECT_FALSE(menu_->team1Button(i)->isToggledOn());
    EXPECT_EQ(menu_->team2Button(i)->text().getString(), pod::StateMenu::brainLabel(i));
  }
  for (int j = 0; j < pod::TimeAttackToggles::COUNT; ++j) {
    EXPECT_FALSE(visible(menu_->timeAttackToggle(j)));
    EXPECT_TRUE(menu_->timeAttackToggle(j)->isToggledOn());
  }

  // Every track file of the folder, the first one selected.
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator("resources/tracks"))
    files += entry.path().extension() == ".prt";
  ASSERT_GT(files, 0u);
  EXPECT_EQ(menu_->tracks().size(), files);
  ASSERT_EQ(menu_->trackButtons().size(), files);
  EXPECT_EQ(menu_->selectedTrack(), 0);
  EXPECT_TRUE(menu_->trackButton(0)->isToggledOn());
  for (const pod::Track& track : menu_->tracks())
    EXPECT_NE(loadOutput_.find("Loaded track "), std::string::npos) << track.name;
}

TEST_F(StateMenuDisplay, ChoosingBothTeamsShowsRace) {
  menu_->selectTeam1(3);
  EXPECT_FALSE(visible(menu_->raceButton()));
  menu_->selectTeam2(5);
  EXPECT_TRUE(visible(menu_->raceButton()));
  for (int i = 0; i < pod::RaceTeamButtons::COUNT; ++i) {
    EXPECT_EQ(menu_->team1Button(i)->isToggledOn(), i == 3);
    EXPECT_EQ(menu_->team2Button(i)->isToggledOn(), i == 5);
  }
  menu_->selectTeam1(-1);
  EXPECT_FALSE(visible(menu_->raceButton()));
  EXPECT_FALSE(menu_->team1Button(3)->isToggledOn());
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

      // And the other way round.
      menu_->selectTeam1(-1);
      menu_->selectTeam2(-1);
      menu_->selectTeam2(first);
      menu_->selectTeam1(second);
      EXPECT_EQ(menu_->team1Choice(), second);
      EXPECT_EQ(menu_->team2Choice(), conflict ? Steering : first);
    }
  }
  // Two single players, one on each key set.
  choose(PlayerAndBlocker, PlayerAndBlocker);
  EXPECT_EQ(menu_->team1Choice(), PlayerAndBlocker);
  EXPECT_EQ(menu_->team2Choice(), PlayerAndBlocker);
}

TEST_F(StateMenuDisplay, SwapExchangesChoicesAndDescriptions) {
  choose(1, PlayerAndBlocker);
  const std::string description1 = menu_->team1Description().getString();
  click(menu_->swapButton());
  EXPECT_EQ(menu_->team1Choice(), PlayerAndBlocker);
  EXPECT_EQ(menu_->team2Choice(), 1);
  EXPECT_EQ(std::string(menu_->team2Description().getString()), description1);
  // The player now has team 1's keys.
  EXPECT_NE(menu_->team1Description().getString().find("arrow"), sf::String::InvalidPos);

  // Alone, a choice just changes side.
  choose(4, -1);
  menu_->swapTeams();
  EXPECT_EQ(menu_->team1Choice(), -1);
  EXPECT_EQ(menu_->team2Choice(), 4);
  EXPECT_FALSE(visible(menu_->raceButton()));
  EXPECT_FALSE(menu_->team1Button(4)->isToggledOn());
  EXPECT_TRUE(menu_->team2Button(4)->isToggledOn());
}

TEST_F(StateMenuDisplay, DescriptionsFollowTheChoices) {
  menu_->selectTeam1(PlayerAndBlocker);
  menu_->selectTeam2(PlayerAndBlocker);
  EXPECT_EQ(withoutLineBreaks(menu_->team1Description().getString()),
            withoutLineBreaks(pod::driverDescription(PlayerAndBlocker, true)));
  EXPECT_EQ(withoutLineBreaks(menu_->team2Description().getString()),
            withoutLineBreaks(pod::driverDescription(PlayerAndBlocker, false)));
  menu_->selectTeam2(2);
  EXPECT_EQ(withoutLineBreaks(menu_->team2Description().getString()),
            withoutLineBreaks(pod::driverDescription(2, false)));
}

TEST_F(StateMenuDisplay, TimeAttackSwapsTheTeamColumnsForToggles) {
  choose(2, 3);
  click(menu_->timeAttackButton());
  EXPECT_TRUE(menu_->isTimeAttack());
  EXPECT_TRUE(menu_->timeAttackButton()->isToggledOn());
  EXPECT_FALSE(menu_->raceModeButton()->isToggledOn());
  EXPECT_FALSE(visible(menu_->swapButton()));
  for (int i = 0; i < pod::RaceTeamButtons::COUNT; ++i)
    EXPECT_FALSE(visible(menu_->team1Button(i)));
  for (int j = 0; j < pod::TimeAttackToggles::COUNT; ++j)
    EXPECT_TRUE(visible(menu_->timeAttackToggle(j)));
  EXPECT_TRUE(visible(menu_->raceButton()));

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
  EXPECT_TRUE(menu_->raceModeButton()->isToggledOn());
  EXPECT_EQ(menu_->team1Choice(), 2);
  EXPECT_EQ(menu_->team2Choice(), 3);
  EXPECT_TRUE(visible(menu_->raceButton()));
  EXPECT_FALSE(visible(menu_->timeAttackToggle(0)));
  EXPECT_TRUE(menu_->team2Button(3)->isToggledOn());
}

TEST_F(StateMenuDisplay, ClicksReachTheButtons) {
  click(menu_->team1Button(3));
  click(menu_->team2Button(PlayerAndBlocker));
  EXPECT_EQ(menu_->team1Choice(), 3);
  EXPECT_EQ(menu_->team2Choice(), PlayerAndBlocker);
  if (menu_->tracks().size() > 1) {
    click(menu_->trackButton(1));
    EXPECT_EQ(menu_->selectedTrack(), 1);
    EXPECT_FALSE(menu_->trackButton(0)->isToggledOn());
    EXPECT_TRUE(menu_->trackButton(1)->isToggledOn());
  }
  // A hidden button takes no click.
  click(menu_->timeAttackToggle(0));
  EXPECT_TRUE(menu_->timeAttackToggle(0)->isToggledOn());

  click(menu_->team1Button(Steering));
  click(menu_->raceButton());
  ASSERT_EQ(races().size(), 1u);
  EXPECT_EQ(races()[0].track.name, menu_->tracks()[menu_->selectedTrack()].name);
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

TEST_F(StateMenuDisplay, EveryPairingLaunchesItsConfiguration) {
  for (int first = 0; first < pod::RaceTeamButtons::COUNT; ++first) {
    for (int second = 0; second < pod::RaceTeamButtons::COUNT; ++second) {
      choose(first, second);
      const int team1 = menu_->team1Choice();
      const int team2 = menu_->team2Choice();
      SCOPED_TRACE(std::to_string(team1) + " against " + std::to_string(team2));
      races().clear();
      menu_->launchRace();
      if (!available(team1) || !available(team2)) {
        EXPECT_TRUE(races().empty());
        continue;
      }
      ASSERT_EQ(races().size(), 1u);
      const pod::RaceConfiguration& race = races()[0];
      EXPECT_FALSE(race.timeAttack);
      EXPECT_EQ(race.nbPodsPerTeam, 2);
      ASSERT_EQ(race.brains.size(), 2u);
      EXPECT_EQ(race.brains[0]->team(), 0);
      EXPECT_EQ(race.brains[1]->team(), 1);
      EXPECT_EQ(race.teamNames, (std::vector<std::string>{pod::StateMenu::brainLabel(team1),
                                                          pod::StateMenu::brainLabel(team2)}));
      EXPECT_EQ(race.track.name, menu_->tracks()[menu_->selectedTrack()].name);
      EXPECT_EQ(race.track.checkpoints.size(),
                menu_->tracks()[menu_->selectedTrack()].checkpoints.size());
      const auto [player1, player2] = keyboardPods(team1, team2);
      EXPECT_EQ(race.player1Pod, player1);
      EXPECT_EQ(race.player2Pod, player2);

      const int choices[2] = {team1, team2};
      for (int team = 0; team < 2; ++team) {
        const pod::AbstractBrain* brain = race.brains[team].get();
        if (choices[team] == PlayerAndBlocker) {
          auto* player = dynamic_cast<const pod::PlayerBrain*>(brain);
          ASSERT_NE(player, nullptr);
          // Team 2's single player takes the letter keys.
          EXPECT_EQ(player->mainKeys(), team == 0);
        } else if (choices[team] == TwoPlayers) {
          EXPECT_NE(dynamic_cast<const pod::TwoPlayerBrain*>(brain), nullptr);
        } else {
          EXPECT_EQ(dynamic_cast<const pod::PlayerBrain*>(brain), nullptr);
          EXPECT_EQ(dynamic_cast<const pod::TwoPlayerBrain*>(brain), nullptr);
        }
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
    std::vector<std::string> expectedNames;
    int player1 = -1, player2 = -1;
    for (int j = 0; j < 4; ++j) {
      if (!((mask >> j) & 1))
        continue;
      const int team = static_cast<int>(expectedNames.size());
      if (j == 2)
        player1 = team;
      if (j == 3)
        player2 = team;
      expectedNames.push_back(names[j]);
      ASSERT_LT(team, static_cast<int>(race.brains.size()));
      EXPECT_EQ(race.brains[team]->team(), team);
      auto* player = dynamic_cast<const pod::PlayerBrain*>(race.brains[team].get());
      EXPECT_EQ(player != nullptr, j >= 2);
      if (player) {
        EXPECT_EQ(player->mainKeys(), j == 2);
      }
    }
    EXPECT_EQ(race.teamNames, expectedNames);
    EXPECT_EQ(race.brains.size(), expectedNames.size());
    EXPECT_EQ(race.player1Pod, player1);
    EXPECT_EQ(race.player2Pod, player2);
  }
}

TEST_F(StateMenuDisplay, TrackSelectionIsExclusive) {
  const int count = static_cast<int>(menu_->tracks().size());
  for (int k = 0; k < count; ++k) {
    menu_->selectTrack(k);
    EXPECT_EQ(menu_->selectedTrack(), k);
    for (int n = 0; n < count; ++n)
      EXPECT_EQ(menu_->trackButton(n)->isToggledOn(), n == k);
  }
}

TEST_F(StateMenuDisplay, TriviaCycleAndSlide) {
  // The panel opens on the second entry.
  EXPECT_EQ(menu_->triviaIndex(), 1);
  EXPECT_EQ(withoutLineBreaks(menu_->triviaText().getString()),
            withoutLineBreaks(pod::triviaEntries()[1]));
  for (int i = 0; i < 9; ++i)
    click(menu_->moreTriviaButton());
  EXPECT_EQ(menu_->triviaIndex(), 1);
  menu_->nextTrivia();
  EXPECT_EQ(menu_->triviaIndex(), 2);

  const sf::Vector2u size(1600, 900);
  const sf::Vector2f retracted(1600.f + 200.f - 30.f, 100.f);
  EXPECT_EQ(menu_->triviaAnchor(), retracted);
  menu_->slideTrivia({800.f, 450.f}, size);
  EXPECT_FALSE(menu_->isTriviaHovered());
  EXPECT_EQ(menu_->triviaAnchor(), retracted);

  // Onto the visible strip: the panel eases in, never overshooting.
  float previous = menu_->triviaAnchor().x;
  for (int frame = 0; frame < 200; ++frame) {
    menu_->slideTrivia({1590.f, 100.f}, size);
    EXPECT_TRUE(menu_->isTriviaHovered());
    EXPECT_LE(menu_->triviaAnchor().x, previous);
    EXPECT_GE(menu_->triviaAnchor().x, 1400.f);
    previous = menu_->triviaAnchor().x;
  }
  EXPECT_EQ(menu_->triviaAnchor(), sf::Vector2f(1400.f, 100.f));

  // Outside the window the panel is not hovered even where it lies.
  menu_->slideTrivia({1700.f, 100.f}, size);
  EXPECT_FALSE(menu_->isTriviaHovered());
  for (int frame = 0; frame < 200; ++frame)
    menu_->slideTrivia({100.f, 100.f}, size);
  EXPECT_EQ(menu_->triviaAnchor(), retracted);
}

TEST_F(StateMenuDisplay, LayoutFollowsTheWindowSize) {
  vexa::graphics().onResize(1280, 850);
  menu_->onResize();
  EXPECT_EQ(menu_->quitButton()->getPosition(), sf::Vector2f(1280.f - 250.f, 850.f - 30.f));
  EXPECT_EQ(menu_->vfxButton()->getPosition(), sf::Vector2f(1280.f - 250.f, 850.f - 60.f));
  EXPECT_EQ(menu_->raceButton()->getPosition(), sf::Vector2f(640.f, 825.f));
  EXPECT_FLOAT_EQ(menu_->team1Button(2)->getPosition().x, 640.f - 116.666664f);
  EXPECT_FLOAT_EQ(menu_->team2Button(2)->getPosition().y, 465.f + 60.f);
  EXPECT_EQ(menu_->triviaAnchor(), sf::Vector2f(1280.f + 170.f, 100.f));
  // The track row stays centred on the window.
  const auto& tracks = menu_->trackButtons();
  const float middle = (tracks.front()->getPosition().x + tracks.back()->getPosition().x) / 2.f;
  EXPECT_NEAR(middle, 640.f, 0.01f);

  vexa::graphics().onResize(1600, 900);
  menu_->onResize();
  EXPECT_EQ(menu_->quitButton()->getPosition(), sf::Vector2f(1350.f, 870.f));
}

TEST_F(StateMenuDisplay, WithoutTracksThereIsNoRace) {
  const fs::path root = fs::temp_directory_path() / "vuzuder-no-tracks";
  fs::remove_all(root);
  fs::create_directories(root / "tracks");
  std::ofstream(root / "tracks" / "broken.prt") << "not a track\n";
  const std::string previous = testapp::paths().root;
  testapp::paths().root = root.string() + "/";

  pod::StateMenu empty;
  ::testing::internal::CaptureStdout();
  const bool ok = empty.init();
  const std::string out = ::testing::internal::GetCapturedStdout();
  testapp::paths().root = previous;
  fs::remove_all(root);

  ASSERT_TRUE(ok);
  EXPECT_EQ(out, "Failed to load track broken.prt\n");
  EXPECT_TRUE(empty.tracks().empty());
  EXPECT_TRUE(empty.trackButtons().empty());
  empty.selectTeam1(Steering);
  empty.selectTeam2(Steering);
  EXPECT_FALSE(visible(empty.raceButton()));
  empty.launchRace();
  EXPECT_TRUE(races().empty());
  // It still draws.
  empty.draw(1.f / 60.f, 1.f);
}

} // namespace
