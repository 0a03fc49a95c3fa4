#include "app/coloredpushbutton.h"
#include "app/podstatemanager.h"
#include "screens/statemenu.h"
#include "screens/staterace.h"
#include "testapp.h"

#include <vexa/core/abstractstate.h>
#include <vexa/core/components.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FakeScreen : public vexa::AbstractState {
public:
  explicit FakeScreen(std::uint32_t id) : vexa::AbstractState(id) {}
  bool cleanup() override { return true; }
  void draw(float, float) override {}
  bool init() override { return true; }
  void reserved() override {}
  void updateLayout() override {}
};

// The four screens of the finished game in index order: menu, race, editor
// (id 3) and showcase (id 2).
class FourScreenManager : public pod::PodStateManager {
protected:
  void createScreens() override {
    for (std::uint32_t id : {0u, 1u, 3u, 2u})
      addState(std::make_unique<FakeScreen>(id));
  }
};

// Screen switching itself is the indexed manager's; here each way in lands on its index.
TEST(PodStateManager, EachScreenIsReachedByIndexNotById) {
  FourScreenManager states;
  ASSERT_TRUE(states.init());
  EXPECT_EQ(states.currentIndex(), 0u);
  states.goToVFX();
  EXPECT_EQ(states.currentIndex(), 3u);
  EXPECT_EQ(states.currentState()->id(), 2u);
  states.goToLevelEditor();
  EXPECT_EQ(states.currentIndex(), 2u);
  EXPECT_EQ(states.currentState()->id(), 3u);
  states.goToMenu();
  EXPECT_EQ(states.currentIndex(), 0u);
}

// Counts the brains alive, to see who releases them.
int gLiveBrains = 0;

class CountedBrain : public pod::AbstractBrain {
public:
  CountedBrain() { ++gLiveBrains; }
  ~CountedBrain() override { --gLiveBrains; }
  void think(const pod::Race&, std::vector<pod::Influence>&) override {}
};

TEST(PodStateManagerDisplay, TheGameStartsOnTheMenuAndTheRaceScreenOwnsTheBrains) {
  testapp::RecordingStateManager& states = testapp::states();
  EXPECT_EQ(states.currentIndex(), 0u);
  EXPECT_EQ(states.menu(), dynamic_cast<pod::StateMenu*>(states.currentState()));
  ASSERT_NE(states.menu(), nullptr);

  ASSERT_FALSE(states.menu()->tracks().empty());
  states.record = false;
  // A second race replaces the brains of the first.
  for (int race = 0; race < 2; ++race) {
    pod::RaceConfiguration config;
    config.brains.push_back(std::make_unique<CountedBrain>());
    config.brains.push_back(std::make_unique<CountedBrain>());
    config.teamNames = {"a", "b"};
    config.track = states.menu()->tracks()[0];
    states.goToRace(std::move(config));
    EXPECT_EQ(states.currentIndex(), 1u);
    EXPECT_EQ(states.currentState()->id(), 1u);
    EXPECT_EQ(gLiveBrains, 2); // taken, not released
  }
  states.record = true;
  states.goToMenu();
}

TEST(PodStateManagerDisplay, RestartLaunchesFromTheMenusChoices) {
  testapp::RecordingStateManager& states = testapp::states();
  pod::StateMenu& menu = *states.menu();
  ASSERT_FALSE(menu.tracks().empty());
  menu.setRaceMode();
  menu.selectTeam1(pod::RaceTeamButtons::PlayerAndBlocker);
  menu.selectTeam2(pod::RaceTeamButtons::Steering);
  states.races.clear();
  // Through the winner panel's button, as the player restarts.
  pod::StateRace* race = dynamic_cast<pod::StateRace*>(states.state(pod::PodStateManager::Race));
  ASSERT_NE(race, nullptr);
  ASSERT_TRUE(race->prepare());
  race->simulation().restartButton()->onTouchUp({0.f, 0.f});
  ASSERT_EQ(states.races.size(), 1u);
  EXPECT_EQ(states.races[0].teamNames,
            (std::vector<std::string>{"Player and blocker", "Steering heuristics"}));
  states.races.clear();
  menu.selectTeam1(-1);
  menu.selectTeam2(-1);
}

} // namespace
