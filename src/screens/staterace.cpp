#include "screens/staterace.h"

#include "app/settings.h"

#include "app/coloredpushbutton.h"
#include "app/podresourcemanager.h"
#include "app/podstatemanager.h"

#include <sfmlutils/origin.h>
#include <vexa/core/application.h>
#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/resourcemanager.h>

#include <SFML/Graphics/RenderWindow.hpp>

#include <iostream>

namespace pod {

namespace {

PodStateManager* podStateManager() {
  return dynamic_cast<PodStateManager*>(vexa::components().stateManager());
}

} // namespace

StateRace::StateRace() : vexa::AbstractState(cStateId) {}

StateRace::~StateRace() = default;

bool StateRace::cleanup() { return true; }

void StateRace::resetTime() {}

void StateRace::reserved() {}

// The shaders, canvases and particle textures of the race screen are set up
// when the first race or replay starts: the menu comes up sooner, smaller.
// The last run's speed is set now, so that a speed chosen before the first
// race is not overwritten when the screen is set up.
bool StateRace::init() {
  pacer_.setSpeed(settings().speed);
  return true;
}

bool StateRace::prepare() {
  if (prepared_)
    return true;
  if (!simulation_.initialise()) {
    std::cerr << "The race screen could not be set up." << std::endl;
    return false;
  }
  prepared_ = true;
  simulation_.toMenuButton()->setCallback([this] { leaveForMenu(); });
  simulation_.menuButton()->setCallback([this] { leaveForMenu(); });
  simulation_.restartButton()->setCallback([this] { restart(); });
  const auto& speeds = simulation_.speedButtons();
  for (std::size_t i = 0; i < speeds.size(); ++i)
    speeds[i]->setCallback([this, i] { setSpeed(static_cast<int>(i)); });
  // The speed as it stands and the theme of the last run.
  setSpeed(pacer_.speedIndex());
  simulation_.selectTheme(static_cast<std::uint32_t>(settings().theme));

  countdownText_.setFont(vexa::resourceManager().font(FontId::Main));
  countdownText_.setCharacterSize(cCountdownSize);
  countdownText_.setOutlineThickness(5.f);
  countdownText_.setOutlineColor(sf::Color::Black);
  return true;
}

void StateRace::rememberChoices(Settings& settings) const {
  if (!prepared_)
    return;  // never raced: what was read stays
  settings.speed = pacer_.speedIndex();
  settings.theme = static_cast<int>(simulation_.theme());
}

void StateRace::setSpeed(int index) {
  pacer_.setSpeed(index);
  simulation_.highlightSpeedButton(index);
}

void StateRace::restart() {
  if (replay_) {
    if (cursor_.paused())
      cursor_.togglePause();
    showReplayMove(cursor_.home());
  } else if (PodStateManager* states = podStateManager()) {
    states->restartRace();
  }
}

void StateRace::leaveForMenu() {
  stopped_ = true;
  simulation_.releaseBrains();
  if (PodStateManager* states = podStateManager())
    states->goToMenu();
}

void StateRace::startRace(bool timeAttack, int nbPodsPerTeam,
                          std::vector<std::unique_ptr<AbstractBrain>> brains,
                          const std::vector<std::string>& teamNames, const Track& track,
                          int player1Pod, int player2Pod) {
  if (!prepare()) {
    leaveForMenu();
    return;
  }
  stopped_ = false;
  replay_ = false;
  pacer_.start();
  simulation_.setTurnTime(cTurnTime);
  simulation_.launch(timeAttack, nbPodsPerTeam, std::move(brains), track, teamNames);
  simulation_.setPlayerPods(player1Pod, player2Pod);
  showRaceScreen();
}

// A race and a replay alike: the race game rate and the side panel where
// the mouse leaves it.
void StateRace::showRaceScreen() {
  updateLayout();
  if (vexa::components().application())
    vexa::application().setGameRate(cRaceGameRate);
  if (vexa::components().inputManager() && vexa::components().graphics() &&
      vexa::graphics().window())
    simulation_.placeSidePanel(vexa::inputManager().mousePosition());
}

bool StateRace::startReplay(Trace trace) {
  if (!prepare())
    return false;
  stopped_ = false;
  replay_ = true;
  pacer_.start(false);
  const std::size_t turns = trace.turnCount();
  const bool truncated = trace.truncated;
  if (!simulation_.launchReplay(std::move(trace)))
    return false;
  cursor_.reset(turns);
  cursor_.status(truncated, replayStatus_);
  simulation_.setReplayStatus(replayStatus_);
  showRaceScreen();
  return true;
}

void StateRace::showReplayMove(ReplayCursor::Move move) {
  if (move == ReplayCursor::Move::None)
    return;
  simulation_.showReplayTurn(cursor_.turn(), move == ReplayCursor::Move::Forward);
  // A step forward plays its turn's motion; a jump shows where it lands.
  if (!cursor_.running())
    pacer_.setTurnElapsed(move == ReplayCursor::Move::Forward ? 0.f : 1.f);
}

// Replays have no countdown; the keys move through the recording instead of
// steering.
void StateRace::updateReplay(float dt) {
  const vexa::InputManager& input = vexa::inputManager();
  if (input.isPressed("pause"))
    cursor_.togglePause();
  else if (input.isPressed("right"))
    showReplayMove(cursor_.stepForward());
  else if (input.isPressed("left"))
    showReplayMove(cursor_.stepBack());
  else if (input.isPressed("home"))
    showReplayMove(cursor_.home());
  else if (input.isPressed("end"))
    showReplayMove(cursor_.end());
  std::size_t turn = 0;
  if (input.isPressed("touch") && simulation_.replayTurnAt(input.mousePosition(), turn))
    showReplayMove(cursor_.seek(turn));

  simulation_.update(dt, pacer_.interpolation());
  if (stopped_)
    return;
  if (cursor_.running()) {
    const int turns = pacer_.takeTurns(dt);
    for (int i = 0; i < turns; ++i)
      showReplayMove(cursor_.advance());
  } else {
    pacer_.settle(dt);
  }
  cursor_.status(simulation_.recording().truncated, replayStatus_);
  simulation_.setReplayStatus(replayStatus_);
}

bool StateRace::steeringKeyPressed() const {
  const vexa::InputManager& input = vexa::inputManager();
  for (const char* key :
       {"up", "right", "down", "left", "altUp", "altRight", "altDown", "altLeft"}) {
    if (input.isPressed(key))
      return true;
  }
  return false;
}

void StateRace::update(float dt) {
  vexa::AbstractState::update(dt);
  if (!prepared_)
    return;
  const vexa::InputManager& input = vexa::inputManager();
  if (input.isPressed("escape")) {
    leaveForMenu();
    return;
  }
  if (input.isPressed("zoomin")) {
    if (pacer_.faster())
      simulation_.highlightSpeedButton(pacer_.speedIndex());
  } else if (input.isPressed("zoomout")) {
    if (pacer_.slower())
      simulation_.highlightSpeedButton(pacer_.speedIndex());
  }

  if (replay_) {
    updateReplay(dt);
    return;
  }
  if (pacer_.countingDown()) {
    const bool still =
        pacer_.advanceCountdown(dt, simulation_.hasKeyboardPlayer(), steeringKeyPressed());
    simulation_.update(dt, 0.f);
    if (still)
      return;
  }
  simulation_.update(dt, pacer_.interpolation());
  if (!stopped_) {
    const int turns = pacer_.takeTurns(dt);
    for (int i = 0; i < turns && !stopped_; ++i)
      simulation_.turn(cTurnTime);
  }
}

void StateRace::draw(float frameTime, float interpolation) {
  (void)interpolation;
  if (!prepared_)
    return;
  sf::RenderWindow* window = vexa::graphics().window();
  if (!window)
    return;
  simulation_.setTurnDuration(pacer_.turnDuration());
  simulation_.draw(*window, frameTime, pacer_.interpolation(),
                   frameTime / pacer_.turnDuration());
  if (!pacer_.countingDown())
    return;
  const double remaining = pacer_.countdownRemaining(simulation_.hasKeyboardPlayer());
  countdownText_.setString(RacePacer::countdownString(remaining));
  sfmlutils::centerOrigin(countdownText_);
  const std::uint8_t alpha = RacePacer::countdownAlpha(remaining);
  countdownText_.setFillColor(sf::Color(255, 255, 255, alpha));
  countdownText_.setOutlineColor(sf::Color(0, 0, 0, alpha));
  window->draw(countdownText_);
}

void StateRace::onResize() {
  if (vexa::components().graphics() && vexa::graphics().window()) {
    PodCamera& camera = simulation_.camera();
    camera.setWindow(vexa::graphics().window());
    camera.fitWindowSize();
  }
  updateLayout();
}

void StateRace::updateLayout() {
  if (!vexa::components().graphics() || !vexa::graphics().window())
    return;
  const sf::Vector2u size = vexa::graphics().window()->getSize();
  const float w = static_cast<float>(size.x);
  const float h = static_cast<float>(size.y);
  simulation_.updateLayout(w, h);
  countdownText_.setPosition(w * 0.5f, h * 0.5f);
}

} // namespace pod
