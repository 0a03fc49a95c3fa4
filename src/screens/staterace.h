#pragma once

#include "brains/abstractbrain.h"
#include "race/track.h"
#include "simulation/racepacer.h"
#include "simulation/racesimulation.h"
#include "simulation/replaycursor.h"
#include "trace/trace.h"

#include <vexa/core/abstractstate.h>

#include <SFML/Graphics/Text.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pod {

struct Settings;

// The screen on which a race runs: paces the physics turns at one of six
// game speeds, shows the pre-race countdown, handles the keys that leave the
// race or change its speed, and wires the simulation's buttons.
class StateRace : public vexa::AbstractState {
public:
  static constexpr std::uint32_t cStateId = 1;
  static constexpr int MAX_SPEED_INDEX = RacePacer::cMaxSpeedIndex;
  // Game time of one physics turn, whatever the speed.
  static constexpr float cTurnTime = 0.25f;
  // The screens' update period from the first race on.
  static constexpr float cRaceGameRate = 0.016666668f;
  // Big enough to read at a glance across the field.
  static constexpr unsigned cCountdownSize = 160;

  StateRace();
  ~StateRace() override;

  bool cleanup() override;
  void draw(float frameTime, float interpolation) override;
  bool init() override;
  void resetTime() override;
  void reserved() override;
  void onResize() override;
  void update(float dt) override;
  void updateLayout() override;

  // Starts a race; the simulation takes the brains and deletes the previous
  // race's. Player pods are -1 when absent.
  void startRace(bool timeAttack, int nbPodsPerTeam,
                 std::vector<std::unique_ptr<AbstractBrain>> brains,
                 const std::vector<std::string>& teamNames, const Track& track, int player1Pod,
                 int player2Pod);
  // Shows a recorded race with the same panels and effects; no brain runs.
  bool startReplay(Trace trace);
  // "Restart": a race is launched again by the menu, a replay goes back to
  // its first turn.
  void restart();
  void setSpeed(int index);
  // The speed and theme to remember; nothing before the first race.
  void rememberChoices(Settings& settings) const;
  // Escape, "To menu" and "Menu": stop stepping, delete the brains (their
  // threads end) and make the menu current.
  void leaveForMenu();

  bool isStopped() const { return stopped_; }
  bool isCountingDown() const { return pacer_.countingDown(); }
  int speedIndex() const { return pacer_.speedIndex(); }
  const RacePacer& pacer() const { return pacer_; }
  RaceSimulation& simulation() { return simulation_; }
  bool isReplay() const { return replay_; }
  const ReplayCursor& replayCursor() const { return cursor_; }
  const sf::Text& countdownText() const { return countdownText_; }

  // Sets the screen up on first use (the first race or replay calls it);
  // false, with a message, when it cannot be.
  bool prepare();

private:
  void showRaceScreen();
  bool steeringKeyPressed() const;
  void updateReplay(float dt);
  void showReplayMove(ReplayCursor::Move move);

  bool prepared_ = false;
  bool stopped_ = false;
  // The turn timer, turn duration, speed index and countdown flag.
  RacePacer pacer_;
  RaceSimulation simulation_;
  sf::Text countdownText_;
  bool replay_ = false;
  ReplayCursor cursor_;
  std::string replayStatus_;
};

} // namespace pod
