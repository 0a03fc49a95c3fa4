// The race screen and its simulation in a real window (run under Xvfb).
#include "raceharness.h"

#include "app/coloredpushbutton.h"
#include "brains/driverregistry.h"
#include "brains/tarvokbrain.h"
#include "simulation/racesimulation.h"

#include <sfmlutils/convert.h>
#include <vexa/core/resourcemanager.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace pod {
namespace {

constexpr float cUpdate = StateRace::cRaceGameRate;

raceharness::HarnessApp& app() {
  static std::unique_ptr<raceharness::HarnessApp> instance;
  if (!instance) {
    if (chdir(VUZUDER_SOURCE_DIR) != 0)
      ADD_FAILURE() << "cannot enter " << VUZUDER_SOURCE_DIR;
    instance = std::make_unique<raceharness::HarnessApp>();
    instance->init();
    std::atexit([] { instance.reset(); });
  }
  return *instance;
}

StateRace& screen() {
  app();
  return *raceharness::states().race();
}

// Drives its team with neutral commands and counts what it is asked.
class CountingBrain : public AbstractBrain {
public:
  explicit CountingBrain(int* destroyed = nullptr) : destroyed_(destroyed) {}
  ~CountingBrain() override {
    if (destroyed_)
      ++*destroyed_;
  }
  void think(const Race& race, std::vector<Influence>& influences) override {
    ++thinks;
    for (int i = 0; i < race.nbPodsPerTeam; ++i)
      influences.push_back(Influence{});
  }
  void turnDone(const Race&, float turnTime) override {
    ++turnsDone;
    lastTurnTime = turnTime;
  }
  int thinks = 0;
  int turnsDone = 0;
  float lastTurnTime = 0.f;

private:
  int* destroyed_;
};

Track loadTrack(const std::string& name = "grand_prix_loop.prt") {
  app();
  Track track;
  EXPECT_TRUE(track.load("resources/tracks/" + name));
  return track;
}

const std::vector<std::string> cNames = {"Blue team", "Red team"};

// Starts a race between two counting brains; returns them (owned by the
// simulation from now on).
std::pair<CountingBrain*, CountingBrain*> startCountingRace(int player1Pod = -1,
                                                            int* destroyed = nullptr) {
  std::vector<std::unique_ptr<AbstractBrain>> brains;
  auto a = std::make_unique<CountingBrain>(destroyed);
  auto b = std::make_unique<CountingBrain>(destroyed);
  auto result = std::make_pair(a.get(), b.get());
  brains.push_back(std::move(a));
  brains.push_back(std::move(b));
  raceharness::states().setCurrentIndex(PodStateManager::Race);
  screen().startRace(false, 2, std::move(brains), cNames, loadTrack(), player1Pod, -1);
  return result;
}

// One update step; drawn when asked (drawing under a software renderer is
// what makes these tests slow).
void frame(StateRace& race, bool draw = false) {
  vexa::inputManager().update();
  race.update(cUpdate);
  if (draw)
    race.draw(1.f / 60.f, 1.f);
}

void pressAndUpdate(StateRace& race, const std::string& button) {
  vexa::inputManager().update();
  vexa::inputManager().press(button);
  race.update(cUpdate);
  vexa::inputManager().release(button);
  race.draw(1.f / 60.f, 1.f);
}

void finishCountdown(StateRace& race) {
  for (int i = 0; i < 60 * 11 && race.isCountingDown(); ++i)
    frame(race);
  ASSERT_FALSE(race.isCountingDown());
}

std::size_t threadCount() {
  std::size_t n = 0;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (dirent* e = readdir(dir))
      if (e->d_name[0] != '.')
        ++n;
    closedir(dir);
  }
  return n;
}

TEST(RaceScreenDisplay, CountdownOfThreeSecondsWithoutKeyboardPlayer) {
  StateRace& race = screen();
  auto [a, b] = startCountingRace();
  ASSERT_TRUE(race.isCountingDown());
  std::vector<std::string> shown;
  int updates = 0;
  while (race.isCountingDown() && updates < 60 * 5) {
    // Steering keys do nothing without a keyboard player.
    if (updates % 20 == 0)
      pressAndUpdate(race, "up");
    else
      frame(race, updates % 10 == 5);
    ++updates;
    const std::string s = race.countdownText().getString();
    if (race.isCountingDown() && (shown.empty() || shown.back() != s))
      shown.push_back(s);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"3", "2", "1"}));
  EXPECT_NEAR(updates, 180, 1);
  // No turn is stepped during the countdown.
  EXPECT_LE(a->thinks, 1);
  EXPECT_EQ(a->thinks, b->thinks);
  EXPECT_EQ(race.simulation().winner(), -1);
}

TEST(RaceScreenDisplay, CountdownOfTenSecondsThatSteeringKeysShorten) {
  StateRace& race = screen();
  startCountingRace(0);
  frame(race, true);
  EXPECT_EQ(race.countdownText().getString(), "10");
  pressAndUpdate(race, "left");
  EXPECT_EQ(race.countdownText().getString(), "9");
  pressAndUpdate(race, "altUp");
  EXPECT_EQ(race.countdownText().getString(), "8");
  // Holding a key is not pressing it again.
  vexa::inputManager().press("up");
  for (int i = 0; i < 5; ++i)
    frame(race);
  vexa::inputManager().release("up");
  frame(race, true);
  EXPECT_EQ(race.countdownText().getString(), "8");
  // The fading number starts opaque and fades.
  const sf::Uint8 alpha = race.countdownText().getFillColor().a;
  EXPECT_GT(alpha, 150);
  for (int i = 0; i < 30; ++i)
    frame(race);
  frame(race, true);
  EXPECT_LT(race.countdownText().getFillColor().a, alpha);
  for (int i = 0; i < 10; ++i)
    pressAndUpdate(race, "right");
  EXPECT_EQ(race.countdownText().getString(), "3");
  finishCountdown(race);
}

TEST(RaceScreenDisplay, SpeedKeysStopAtTheEndsAndTheButtonsFollow) {
  StateRace& race = screen();
  startCountingRace();
  const auto& buttons = race.simulation().speedButtons();
  ASSERT_EQ(buttons.size(), 6u);
  auto onlyToggled = [&buttons](std::size_t index) {
    for (std::size_t i = 0; i < buttons.size(); ++i)
      if (buttons[i]->isToggledOn() != (i == index))
        return false;
    return true;
  };

  race.setSpeed(5);
  pressAndUpdate(race, "zoomin");
  EXPECT_EQ(race.speedIndex(), 5);
  EXPECT_FLOAT_EQ(race.pacer().turnDuration(), 0.02f);
  EXPECT_TRUE(onlyToggled(5));
  pressAndUpdate(race, "zoomout");
  EXPECT_EQ(race.speedIndex(), 4);
  EXPECT_TRUE(onlyToggled(4));

  race.setSpeed(0);
  pressAndUpdate(race, "zoomout");
  EXPECT_EQ(race.speedIndex(), 0);
  EXPECT_FLOAT_EQ(race.pacer().turnDuration(), 0.2f);
  EXPECT_TRUE(onlyToggled(0));

  // A speed button selects its speed; the next race keeps it.
  buttons[2]->onTouchUp({0.f, 0.f});
  EXPECT_EQ(race.speedIndex(), 2);
  startCountingRace();
  EXPECT_EQ(race.speedIndex(), 2);
  EXPECT_TRUE(onlyToggled(2));
}

TEST(RaceScreenDisplay, TurnsFollowTheSpeed) {
  StateRace& race = screen();
  race.setSpeed(5);
  auto [a, b] = startCountingRace();
  finishCountdown(race);
  int withTurn = 0;
  const int before = a->thinks;
  for (int i = 0; i < 60; ++i) {
    const int t = a->thinks;
    frame(race);
    EXPECT_LE(a->thinks - t, 1);
    withTurn += a->thinks - t;
  }
  EXPECT_NEAR(a->thinks - before, 50, 1);
  EXPECT_LT(withTurn, 60);
  EXPECT_EQ(a->turnsDone, a->thinks);
  EXPECT_FLOAT_EQ(a->lastTurnTime, 0.25f);
  EXPECT_NEAR(race.simulation().gameTime(), 0.25f * static_cast<float>(a->thinks), 1e-3f);

  race.setSpeed(0);
  const int slow = a->thinks;
  for (int i = 0; i < 120; ++i)
    frame(race);
  EXPECT_NEAR(a->thinks - slow, 10, 1);
  (void)b;
}

TEST(RaceScreenDisplay, LeavingDeletesTheBrainsAndJoinsEveryWorker) {
  StateRace& race = screen();
  race.setSpeed(5);
  int destroyed = 0;
  startCountingRace(-1, &destroyed);
  pressAndUpdate(race, "escape");
  EXPECT_EQ(destroyed, 2);
  EXPECT_TRUE(race.isStopped());
  EXPECT_EQ(race.simulation().brainCount(), 0u);
  EXPECT_EQ(raceharness::states().currentIndex(), PodStateManager::Menu);

  // Genetic brains that plan on worker threads: none outlives the race,
  // whether it is left by Escape, "To menu" or "Menu".
  const std::size_t baseline = threadCount();
  for (int exit = 0; exit < 3; ++exit) {
    std::vector<std::unique_ptr<AbstractBrain>> brains;
    for (int team = 0; team < 2; ++team) {
      auto brain = createDriver("Genetic (separate)", false);
      ASSERT_TRUE(brain);
      brain->setTeam(team);
      brains.push_back(std::move(brain));
    }
    raceharness::states().setCurrentIndex(PodStateManager::Race);
    race.startRace(false, 2, std::move(brains), cNames, loadTrack(), -1, -1);
    finishCountdown(race);
    for (int i = 0; i < 30; ++i)
      frame(race);
    EXPECT_GT(threadCount(), baseline);
    if (exit == 0)
      pressAndUpdate(race, "escape");
    else if (exit == 1)
      race.simulation().toMenuButton()->onTouchUp({0.f, 0.f});
    else
      race.simulation().menuButton()->onTouchUp({0.f, 0.f});
    EXPECT_EQ(threadCount(), baseline) << "exit " << exit;
    EXPECT_EQ(raceharness::states().currentIndex(), PodStateManager::Menu);
    // A stopped screen steps no turn.
    const float gameTime = race.simulation().gameTime();
    race.update(cUpdate);
    race.update(cUpdate);
    EXPECT_FLOAT_EQ(race.simulation().gameTime(), gameTime);
  }
}

TEST(RaceScreenDisplay, WinnerByTimeoutIsShownOnce) {
  StateRace& race = screen();
  startCountingRace();
  RaceSimulation& sim = race.simulation();
  EXPECT_FALSE(sim.isWinnerPanelShown());
  int turns = 0;
  while (sim.winner() < 0 && turns < 1000) {
    sim.turn(0.25f);
    ++turns;
  }
  ASSERT_GE(sim.winner(), 0);
  const Race& state = sim.physics().getCurrentState();
  EXPECT_TRUE(state.byTimeout);
  EXPECT_EQ(sim.winnerBoard().title(), "Winner by timeout");
  EXPECT_EQ(sim.winnerBoard().teamName(), cNames[static_cast<std::size_t>(sim.winner())]);
  EXPECT_TRUE(sim.isWinnerPanelShown());
  const std::string title = sim.winnerBoard().title();
  const std::string name = sim.winnerBoard().teamName();
  for (int i = 0; i < 40; ++i)
    sim.turn(0.25f);
  EXPECT_EQ(sim.winnerBoard().title(), title);
  EXPECT_EQ(sim.winnerBoard().teamName(), name);
  frame(race, true);
}

TEST(RaceScreenDisplay, ARaceWonOnTheTrackStatisticsAndNeutralCoasting) {
  StateRace& race = screen();
  std::vector<std::unique_ptr<AbstractBrain>> brains;
  for (int team = 0; team < 2; ++team) {
    auto brain = std::make_unique<TarvokBrain>(false);
    brain->setTeam(team);
    brains.push_back(std::move(brain));
  }
  raceharness::states().setCurrentIndex(PodStateManager::Race);
  race.startRace(false, 2, std::move(brains), cNames, loadTrack("boomerang.prt"), -1, -1);
  RaceSimulation& sim = race.simulation();

  // The statistics follow every step, averaged over the whole race.
  std::vector<double> speedSum(4, 0.0);
  std::vector<float> highest(4, 0.f);
  int turns = 0;
  while (sim.winner() < 0 && turns < 4000) {
    sim.turn(0.25f);
    ++turns;
    const Race& s = sim.physics().getCurrentState();
    for (std::size_t i = 0; i < 4; ++i) {
      const float v = s.pods[i].velocity.length();
      speedSum[i] += v;
      highest[i] = std::max(highest[i], v);
    }
  }
  ASSERT_GE(sim.winner(), 0);
  EXPECT_FALSE(sim.physics().getCurrentState().byTimeout);
  EXPECT_EQ(sim.winnerBoard().title(), "Winner");
  EXPECT_EQ(sim.winnerBoard().teamName(), cNames[static_cast<std::size_t>(sim.winner())]);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(sim.statistics().pod(i).averageSpeed(), speedSum[i] / turns, 0.01);
    EXPECT_FLOAT_EQ(sim.statistics().pod(i).highestSpeed, highest[i]);
    EXPECT_EQ(sim.statistics().pod(i).samples, static_cast<std::size_t>(turns));
  }

  // Once the winner is known the brains are no longer asked: pods coast.
  for (int i = 0; i < 30; ++i)
    sim.turn(0.25f);
  for (const PodState& p : sim.physics().getCurrentState().pods)
    EXPECT_FLOAT_EQ(p.engine, 0.f);
  // The race order lists every pod once, leader first.
  frame(race, true);
  std::set<std::uint32_t> ids;
  for (const RaceOrderEntry& e : sim.raceOrder())
    ids.insert(e.podId);
  EXPECT_EQ(ids.size(), 4u);
}

TEST(RaceScreenDisplay, RestartStartsANewRaceFromTheMenusChoices) {
  StateRace& race = screen();
  StateMenu& menu = *raceharness::states().menu();
  menu.setRaceMode();
  menu.selectTeam1(0);
  menu.selectTeam2(4);
  menu.selectTrack(1);
  menu.launchRace();
  ASSERT_EQ(raceharness::states().currentIndex(), PodStateManager::Race);
  finishCountdown(race);
  for (int i = 0; i < 40; ++i)
    frame(race);
  const std::size_t racing = threadCount();
  const int started = raceharness::states().racesStarted;
  EXPECT_GT(race.simulation().gameTime(), 0.f);

  race.simulation().restartButton()->onTouchUp({0.f, 0.f});
  EXPECT_EQ(raceharness::states().racesStarted, started + 1);
  EXPECT_EQ(raceharness::states().currentIndex(), PodStateManager::Race);
  // A fresh race on the menu's track with its teams: the countdown again,
  // the old planners gone, and as many new ones once the turns start.
  EXPECT_TRUE(race.isCountingDown());
  EXPECT_FALSE(race.isStopped());
  EXPECT_FLOAT_EQ(race.simulation().gameTime(), 0.f);
  EXPECT_EQ(race.simulation().brainCount(), 2u);
  EXPECT_EQ(race.simulation().track().name,
            menu.tracks()[static_cast<std::size_t>(menu.selectedTrack())].name);
  EXPECT_EQ(race.simulation().teamNames(),
            (std::vector<std::string>{StateMenu::brainLabel(0), StateMenu::brainLabel(4)}));
  EXPECT_LT(threadCount(), racing);
  finishCountdown(race);
  for (int i = 0; i < 40; ++i)
    frame(race);
  EXPECT_EQ(threadCount(), racing);
  race.leaveForMenu();
}

TEST(RaceScreenDisplay, TimeAttackWithFourDrivers) {
  StateRace& race = screen();
  std::vector<std::unique_ptr<AbstractBrain>> brains;
  for (int team = 0; team < 4; ++team) {
    auto brain = createDriver(team % 2 == 0 ? "Steering heuristics" : "Genetic runner", true);
    ASSERT_TRUE(brain);
    brain->setTeam(team);
    brains.push_back(std::move(brain));
  }
  raceharness::states().setCurrentIndex(PodStateManager::Race);
  race.startRace(true, 1, std::move(brains), {"A", "B", "C", "D"}, loadTrack(), -1, -1);
  finishCountdown(race);
  for (int i = 0; i < 60; ++i)
    frame(race, i % 20 == 0);
  const Race& state = race.simulation().physics().getCurrentState();
  ASSERT_EQ(state.pods.size(), 4u);
  EXPECT_TRUE(state.timeAttack);
  EXPECT_GT(race.simulation().gameTime(), 0.f);
  EXPECT_EQ(race.simulation().raceOrder().size(), 4u);
  race.leaveForMenu();
  EXPECT_EQ(race.simulation().brainCount(), 0u);
}

// Exposes the effect records so that a flash can be placed at will.
class ProbeSimulation : public RaceSimulation {
public:
  EffectRecords& records() { return effects_; }
};

// The summed colour that a checkpoint flash adds to a black canvas.
sf::Vector3f flashColour(ProbeSimulation& sim, int passingPod, bool timeAttack) {
  std::vector<std::unique_ptr<AbstractBrain>> brains;
  const int teams = timeAttack ? 4 : 2;
  for (int t = 0; t < teams; ++t)
    brains.push_back(std::make_unique<CountingBrain>());
  sim.launch(timeAttack, timeAttack ? 1 : 2, std::move(brains), loadTrack(), {"a", "b", "c", "d"});
  const Vec2 centre = toDrawing(sim.track().checkpoints[2].position);
  sf::RenderTexture canvas;
  EXPECT_TRUE(canvas.create(400, 400));
  canvas.setView(sf::View(sfmlutils::toSf(centre), {800.f, -800.f}));
  auto render = [&]() {
    canvas.clear(sf::Color::Black);
    sim.drawCheckpoint(2, centre, canvas);
    canvas.display();
    return canvas.getTexture().copyToImage();
  };
  const sf::Image before = render();
  PhysicsEvent pass;
  pass.type = PhysicsEvent::CheckpointPassed;
  pass.firstId = passingPod;
  pass.secondId = static_cast<int>(sim.track().checkpoints[2].id) - 10;
  // Passed 0.8 s ago on the drawing clock, past the white-hot start.
  sim.records().addEvents({pass}, sim.physics().getCurrentState(), 0.25f, 0.f, -0.8f);
  const sf::Image after = render();
  sf::Vector3f sum;
  for (unsigned y = 0; y < 400; ++y)
    for (unsigned x = 0; x < 400; ++x) {
      const sf::Color a = after.getPixel(x, y);
      const sf::Color b = before.getPixel(x, y);
      sum.x += static_cast<float>(a.r - b.r);
      sum.y += static_cast<float>(a.g - b.g);
      sum.z += static_cast<float>(a.b - b.b);
    }
  return sum;
}

TEST(RaceScreenDisplay, CheckpointFlashesInTeamColours) {
  app();
  ProbeSimulation sim;
  ASSERT_TRUE(sim.initialise());
  sim.selectTheme(1);
  // Team 0: (61, 187, 178), green and blue over red.
  const sf::Vector3f teal = flashColour(sim, 1, false);
  EXPECT_GT(teal.y, 0.f);
  EXPECT_GT(teal.y, 1.5f * teal.x);
  EXPECT_GT(teal.z, 1.5f * teal.x);
  // Team 1: (255, 145, 0), red over green over blue.
  const sf::Vector3f orange = flashColour(sim, 3, false);
  EXPECT_GT(orange.x, 0.f);
  EXPECT_GT(orange.x, orange.y);
  EXPECT_GT(orange.y, orange.z);
  EXPECT_GT(orange.x, 1.5f * orange.z);
  // Time attack: each pod flashes in its own colour; pod 2 is (255, 44, 44).
  const sf::Vector3f red = flashColour(sim, 2, true);
  EXPECT_GT(red.x, 1.5f * red.y);
  EXPECT_GT(red.x, 1.5f * red.z);
  sim.releaseBrains();
}

TEST(RaceScreenDisplay, PodsAreDrawnAtTheirPlacesInTheirColours) {
  StateRace& race = screen();
  startCountingRace();
  race.simulation().selectTheme(0);
  sf::RenderWindow& window = *vexa::graphics().window();
  // Let the camera settle on the grid.
  for (int i = 0; i < 3; ++i) {
    window.clear();
    frame(race, true);
  }
  window.clear();
  race.draw(1.f / 60.f, 1.f);
  sf::Texture shot;
  ASSERT_TRUE(shot.create(window.getSize().x, window.getSize().y));
  shot.update(window);
  const sf::Image image = shot.copyToImage();
  RaceSimulation& sim = race.simulation();
  const sf::View view = sim.camera().view();
  for (std::uint32_t pod = 0; pod < 4; ++pod) {
    const sf::Image art = vexa::resourceManager()
                              .texture(PodResourceManager::themeTextureId(0, pod))
                              .copyToImage();
    // A point on the pod's body, a quarter radius behind its centre.
    const PodState& state = sim.physics().getCurrentState().pods[pod];
    const Vec2 offset = Vec2::fromAngle(state.angle) * -(BaseSimulation::cDrawnPodRadius / 4.f);
    const sf::Vector2i pixel =
        window.mapCoordsToPixel(sfmlutils::toSf(toDrawing(state.position) + offset), view);
    ASSERT_GE(pixel.x, 0);
    ASSERT_GE(pixel.y, 0);
    const sf::Color seen =
        image.getPixel(static_cast<unsigned>(pixel.x), static_cast<unsigned>(pixel.y));
    const sf::Vector2u size = art.getSize();
    const sf::Color expected = art.getPixel(
        static_cast<unsigned>(static_cast<float>(size.x) / 2.f - BaseSimulation::cDrawnPodRadius / 4.f),
        size.y / 2);
    EXPECT_NEAR(seen.r, expected.r, 40) << "pod " << pod;
    EXPECT_NEAR(seen.g, expected.g, 40) << "pod " << pod;
    EXPECT_NEAR(seen.b, expected.b, 40) << "pod " << pod;
  }
}

} // namespace
} // namespace pod
