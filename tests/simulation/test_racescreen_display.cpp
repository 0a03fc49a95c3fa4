// The race screen and its simulation in a real window (run under Xvfb).
#include "raceharness.h"

#include "app/coloredpushbutton.h"
#include "brains/driverregistry.h"
#include "race/statehash.h"
#include "simulation/racesimulation.h"
#include "trace/tracereader.h"

#include <sfmlutils/convert.h>
#include <vexa/core/resourcemanager.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <memory>
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
struct CountingBrain : AbstractBrain {
  static inline int destroyed = 0;
  ~CountingBrain() override { ++destroyed; }
  void think(const Race& race, std::vector<Influence>& influences) override {
    ++thinks;
    influences.resize(influences.size() + static_cast<std::size_t>(race.nbPodsPerTeam));
  }
  void turnDone(const Race&, float turnTime) override {
    ++turnsDone;
    lastTurnTime = turnTime;
  }
  int thinks = 0, turnsDone = 0;
  float lastTurnTime = 0.f;
};

Track loadTrack(const std::string& name = "grand_prix_loop.prt") {
  app();
  Track track;
  EXPECT_TRUE(track.load("resources/tracks/" + name));
  return track;
}

const std::vector<std::string> cNames = {"Blue team", "Red team"};

void startRace(std::vector<std::unique_ptr<AbstractBrain>> brains, const Track& track,
               int player1Pod = -1, const std::vector<std::string>& names = cNames) {
  raceharness::states().setCurrentIndex(PodStateManager::Race);
  screen().startRace(false, 2, std::move(brains), names, track, player1Pod, -1);
}

// Starts a race between two counting brains; returns them (owned by the
// simulation from now on).
std::pair<CountingBrain*, CountingBrain*>
startCountingRace(int player1Pod = -1, const std::vector<std::string>& names = cNames) {
  std::vector<std::unique_ptr<AbstractBrain>> brains;
  brains.push_back(std::make_unique<CountingBrain>());
  brains.push_back(std::make_unique<CountingBrain>());
  auto result = std::make_pair(static_cast<CountingBrain*>(brains[0].get()),
                               static_cast<CountingBrain*>(brains[1].get()));
  startRace(std::move(brains), loadTrack(), player1Pod, names);
  return result;
}

// Both teams driven by the named computer driver.
std::vector<std::unique_ptr<AbstractBrain>> drivers(const std::string& name) {
  std::vector<std::unique_ptr<AbstractBrain>> brains;
  for (int team = 0; team < 2; ++team) {
    brains.push_back(createDriver(name, false));
    EXPECT_TRUE(brains.back()) << name;
    if (brains.back())
      brains.back()->setTeam(team);
  }
  return brains;
}

// One update step with the button pressed in it, if any; drawn when asked
// (drawing under a software renderer is what makes these tests slow).
void frame(StateRace& race, bool draw = false, const char* button = nullptr) {
  vexa::inputManager().update();
  if (button)
    vexa::inputManager().press(button);
  race.update(cUpdate);
  if (button)
    vexa::inputManager().release(button);
  if (draw)
    race.draw(1.f / 60.f, 1.f);
}

void pressAndUpdate(StateRace& race, const char* button) { frame(race, true, button); }

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

TEST(RaceScreenDisplay, CountdownOfTenSecondsThatSteeringKeysShorten) {
  StateRace& race = screen();
  startCountingRace(0);
  frame(race, true);
  EXPECT_EQ(race.countdownText().getString(), "10");
  pressAndUpdate(race, "left");
  EXPECT_EQ(race.countdownText().getString(), "9");
  // Holding a key is not pressing it again.
  vexa::inputManager().press("up");
  for (int i = 0; i < 5; ++i)
    frame(race);
  vexa::inputManager().release("up");
  frame(race, true);
  EXPECT_EQ(race.countdownText().getString(), "9");
  finishCountdown(race);
}

TEST(RaceScreenDisplay, SpeedKeysAndButtonsSetTheTurnsPerUpdate) {
  StateRace& race = screen();
  auto [a, b] = startCountingRace();
  const auto& buttons = race.simulation().speedButtons();
  ASSERT_EQ(buttons.size(), 6u);
  race.setSpeed(0);
  pressAndUpdate(race, "zoomout"); // stops at the slow end
  EXPECT_EQ(race.speedIndex(), 0);
  buttons[2]->onTouchUp({0.f, 0.f});
  EXPECT_EQ(race.speedIndex(), 2);
  race.setSpeed(5);
  pressAndUpdate(race, "zoomin"); // stops at the fast end
  pressAndUpdate(race, "zoomout");
  EXPECT_EQ(race.speedIndex(), 4);
  for (std::size_t i = 0; i < buttons.size(); ++i)
    EXPECT_EQ(buttons[i]->isToggledOn(), i == 4) << i;

  race.setSpeed(5);
  finishCountdown(race);
  const int before = a->thinks;
  for (int i = 0; i < 60; ++i)
    frame(race);
  EXPECT_NEAR(a->thinks - before, 50, 1);
  EXPECT_EQ(a->turnsDone, b->thinks);
  EXPECT_FLOAT_EQ(a->lastTurnTime, 0.25f);
  EXPECT_NEAR(race.simulation().gameTime(), 0.25f * static_cast<float>(a->thinks), 1e-3f);
}

TEST(RaceScreenDisplay, LeavingDeletesTheBrainsAndJoinsEveryWorker) {
  StateRace& race = screen();
  race.setSpeed(5);
  startCountingRace();
  const int destroyed = CountingBrain::destroyed;
  pressAndUpdate(race, "escape");
  EXPECT_EQ(CountingBrain::destroyed, destroyed + 2);
  EXPECT_EQ(race.simulation().brainCount(), 0u);

  // Genetic brains that plan on worker threads: none outlives the race,
  // whether it is left by Escape, "To menu" or "Menu".
  const std::size_t baseline = threadCount();
  for (int exit = 0; exit < 3; ++exit) {
    startRace(drivers("Genetic (separate)"), loadTrack());
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
    EXPECT_FLOAT_EQ(race.simulation().gameTime(), gameTime);
  }
}

// Two races in a row at a chosen speed: after a win no brain is asked to
// think, the second race starts with an empty winner panel and shows its own,
// the speed carries over, and frames are drawn at the pacer's interpolation
// (the main loop always passes 1).
TEST(RaceScreenDisplay, RacesInARowKeepTheSpeedAndShowEachTheirOwnWinner) {
  StateRace& race = screen();
  race.setSpeed(2);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    auto [a, b] = startCountingRace();
    RaceSimulation& sim = race.simulation();
    EXPECT_FALSE(sim.isWinnerPanelShown() || sim.winnerBoard().isFilled());
    EXPECT_EQ(race.speedIndex(), 2);
    EXPECT_TRUE(sim.speedButtons()[2]->isToggledOn());
    finishCountdown(race);
    frame(race);
    frame(race);
    race.draw(1.f / 60.f, 1.f);
    EXPECT_FLOAT_EQ(sim.drawnInterpolation(), race.pacer().interpolation());
    EXPECT_LT(sim.drawnInterpolation(), 1.f);

    for (int turns = 0; sim.winner() < 0 && turns < 1000; ++turns)
      sim.turn(0.25f);
    ASSERT_GE(sim.winner(), 0);
    EXPECT_TRUE(sim.isWinnerPanelShown());
    const int thinks = a->thinks + b->thinks;
    const int done = a->turnsDone;
    for (int i = 0; i < 20; ++i)
      sim.turn(0.25f);
    EXPECT_EQ(a->thinks + b->thinks, thinks);
    EXPECT_EQ(a->turnsDone, done + 20);
  }
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

// The window as the main loop leaves it after a resize.
void resizeWindow(unsigned width, unsigned height) {
  sf::RenderWindow& window = *vexa::graphics().window();
  window.setSize({width, height});
  vexa::graphics().onResize(width, height);
  vexa::stateManager().onResize();
}

// A window made smaller than the one the game opened: the background still
// covers it to the corners, pods and all.
TEST(RaceScreenDisplay, TheFieldFillsAResizedWindow) {
  StateRace& race = screen();
  resizeWindow(1280, 850);
  startCountingRace();
  sf::RenderWindow& window = *vexa::graphics().window();
  ASSERT_EQ(window.getSize(), sf::Vector2u(1280, 850));
  const sf::Color clear(255, 0, 255);
  for (int i = 0; i < 2; ++i) {
    window.clear(clear);
    frame(race, true);
  }
  sf::Texture shot;
  ASSERT_TRUE(shot.create(1280, 850));
  shot.update(window);
  const sf::Image image = shot.copyToImage();
  resizeWindow(1600, 900);
  race.leaveForMenu();
  for (const auto& [x, y] : {std::pair{0u, 0u}, {1279u, 0u}, {0u, 849u}, {1279u, 849u}})
    EXPECT_NE(image.getPixel(x, y), clear) << x << ", " << y;
}

// A time attack with a keyboard player on every window size: during the
// countdown the player's key card never covers a pod of the grid.
TEST(RaceScreenDisplay, KeyCardsLeaveTheStartGridInView) {
  StateRace& race = screen();
  sf::RenderWindow& window = *vexa::graphics().window();
  for (const auto& [w, h] : {std::pair{1280u, 850u}, {1600u, 900u}, {1920u, 1080u}}) {
    SCOPED_TRACE(w);
    resizeWindow(w, h);
    std::vector<std::unique_ptr<AbstractBrain>> brains;
    for (int team = 0; team < 4; ++team) {
      brains.push_back(std::make_unique<CountingBrain>());
      brains.back()->setTeam(team);
    }
    raceharness::states().setCurrentIndex(PodStateManager::Race);
    race.startRace(true, 1, std::move(brains), {"Player 1", "A", "B", "C"}, loadTrack(), 0, -1);
    RaceSimulation& sim = race.simulation();
    ASSERT_TRUE(sim.physics().getCurrentState().timeAttack);
    int shown = 0;
    for (int i = 0; i < 240; ++i) {
      frame(race, i % 12 == 0);
      if (i % 12 != 0)
        continue;
      const sf::FloatRect card = sim.keyCard(0);
      shown += card.width > 0.f;
      const float radius = BaseSimulation::cDrawnPodRadius / sim.camera().zoom();
      for (const PodState& pod : sim.physics().getCurrentState().pods) {
        const sf::Vector2i c =
            window.mapCoordsToPixel(sfmlutils::toSf(toDrawing(pod.position)), sim.camera().view());
        const sf::FloatRect body(static_cast<float>(c.x) - radius, static_cast<float>(c.y) - radius,
                                 2.f * radius, 2.f * radius);
        EXPECT_FALSE(card.intersects(body)) << "frame " << i << ", pod " << pod.id;
      }
    }
    EXPECT_GT(shown, 0);
    race.leaveForMenu();
  }
  resizeWindow(1600, 900);
}

// The panels' texts: whole names that tell a mirror match's teams apart,
// the plate's name clear of its slanted tabs, a big countdown that stays
// readable, and no notice of the last race left over.
TEST(RaceScreenDisplay, PanelTextsReadWholeAndANewRaceStartsWithoutNotices) {
  StateRace& race = screen();
  RaceSimulation& sim = race.simulation();
  sim.showNotice("Saved replays/old.jsonl");
  startCountingRace(-1, {"Player and blocker", "Player and blocker"});
  EXPECT_TRUE(sim.notice().empty());
  EXPECT_EQ(sim.hud().rowName(0), "Player and blocker (team 1)");
  EXPECT_EQ(sim.hud().rowName(1), "Player and blocker (team 2)");

  sim.setSelectedPod(0);
  frame(race, true);
  EXPECT_GE(race.countdownText().getCharacterSize(), 100u);
  EXPECT_GE(race.countdownText().getFillColor().a, 140);
  // The name starts right of the last opaque column of the plate's mask on
  // the name's middle row (the tabs; the underline lies lower).
  const sf::Sprite& mask = sim.hud().plateMask();
  const sf::Image image = mask.getTexture()->copyToImage();
  const sf::FloatRect name = sim.hud().plateNameText().getGlobalBounds();
  const sf::Vector2f local = mask.getInverseTransform().transformPoint(
      name.left, name.top + name.height / 2.f);
  const unsigned row = static_cast<unsigned>(local.y);
  ASSERT_LT(row, image.getSize().y);
  unsigned tabEnd = 0;
  for (unsigned x = 0; x < image.getSize().x / 2; ++x)
    if (image.getPixel(x, row).a > 64)
      tabEnd = x + 1;
  EXPECT_GE(local.x, static_cast<float>(tabEnd));

  sim.showNotice("Saved replays/race.jsonl");
  Trace trace;
  trace.begin(loadTrack(), cNames, sim.physics().getCurrentState(), StateRace::cTurnTime);
  ASSERT_TRUE(race.startReplay(trace));
  EXPECT_TRUE(sim.notice().empty());
  race.leaveForMenu();
}

// A race played on screen, saved with "Save replay", read back and shown:
// every control lands on the recorded state of its turn.
TEST(RaceScreenDisplay, ASavedRaceReplaysWithItsControls) {
  StateRace& race = screen();
  startRace(drivers("Steering heuristics"), loadTrack());
  RaceSimulation& sim = race.simulation();
  int played = 0;
  for (; sim.winner() < 0 && played < 3000; ++played)
    sim.turn(StateRace::cTurnTime);
  ASSERT_GE(sim.winner(), 0);
  for (int i = 0; i < 10; ++i)
    sim.turn(StateRace::cTurnTime); // coasting after the win is not kept

  const std::string path = sim.saveReplay();
  ASSERT_FALSE(path.empty()) << sim.notice();
  Trace trace;
  std::string error;
  ASSERT_TRUE(readTraceFile(path, trace, error)) << error;
  std::filesystem::remove(path);
  ASSERT_EQ(trace.turnCount(), static_cast<std::size_t>(played));
  EXPECT_EQ(trace.turns.back().state.winner, sim.winner());
  EXPECT_EQ(trace.teams, cNames);

  ASSERT_TRUE(race.startReplay(trace));
  EXPECT_FALSE(race.isCountingDown());
  const ReplayCursor& cursor = race.replayCursor();
  const auto shows = [&](std::size_t turn) {
    EXPECT_EQ(cursor.turn(), turn);
    EXPECT_EQ(stateHash(sim.physics().getCurrentState()), stateHash(trace.stateAt(turn)))
        << "turn " << turn;
  };
  for (int i = 0; i < 30; ++i)
    frame(race, i % 10 == 0);
  EXPECT_GT(cursor.turn(), 0u);
  shows(cursor.turn());

  pressAndUpdate(race, "pause");
  ASSERT_TRUE(cursor.paused());
  const std::size_t at = cursor.turn();
  for (int i = 0; i < 20; ++i)
    frame(race);
  shows(at);
  pressAndUpdate(race, "right");
  pressAndUpdate(race, "right");
  shows(at + 2);
  pressAndUpdate(race, "left");
  shows(at + 1);
  pressAndUpdate(race, "end");
  shows(trace.turnCount());
  EXPECT_TRUE(sim.isWinnerPanelShown());
  EXPECT_EQ(sim.winnerBoard().teamName(), cNames[static_cast<std::size_t>(sim.winner())]);
  pressAndUpdate(race, "home");
  shows(0);
  EXPECT_FALSE(sim.isWinnerPanelShown());

  // The middle of the progress bar: where the leader had done half the race.
  const sf::Vector2u size = vexa::graphics().window()->getSize();
  std::size_t turn = 0;
  ASSERT_TRUE(sim.replayTurnAt({size.x / 2.f, size.y - 36.f}, turn));
  EXPECT_GT(turn, 0u);
  EXPECT_LT(turn, trace.turnCount());
  EXPECT_FALSE(sim.replayTurnAt({size.x / 2.f, size.y / 2.f}, turn));

  // "Restart" at the end plays again from the first turn.
  pressAndUpdate(race, "end");
  race.restart();
  EXPECT_FALSE(cursor.paused());
  EXPECT_FALSE(sim.isWinnerPanelShown());
  EXPECT_LE(cursor.turn(), 1u);
  shows(cursor.turn());
  pressAndUpdate(race, "escape");
  EXPECT_EQ(raceharness::states().currentIndex(), static_cast<std::uint32_t>(PodStateManager::Menu));
}

} // namespace
} // namespace pod
