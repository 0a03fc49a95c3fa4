#pragma once

#include "app/raceconfiguration.h"
#include "trace/trace.h"

// The engine header only declares AbstractState; its list of owning
// pointers needs the whole class wherever the manager is built.
#include <vexa/core/abstractstate.h>
#include <vexa/core/indexedstatemanager.h>

#include <cstdint>

namespace pod {

class StateMenu;
struct Settings;

// The game's screens, created once and switched by index.
class PodStateManager : public vexa::IndexedStateManager {
public:
  // Screen indices (the order of creation).
  enum Screen : std::uint32_t { Menu = 0, Race = 1, LevelEditor = 2, VFX = 3 };

  // Creates the screens, then initialises every one of them.
  bool init() override;

  void goToMenu();
  // Hands the configuration to the race screen, which takes the brains.
  virtual void goToRace(RaceConfiguration config);
  // Shows a recorded race on the race screen; false when it cannot.
  bool goToReplay(Trace trace);
  void goToLevelEditor();
  void goToVFX();
  // Has the menu launch a race again with its current choices.
  void restartRace();

  StateMenu* menu() const;
  // The screens' choices worth keeping for the next run.
  void rememberChoices(Settings& settings) const;
  bool hasScreen(std::uint32_t index) const { return index < stateCount(); }

protected:
  // Appends the screens in index order; a screen that does not exist yet
  // leaves its index and every later one out.
  virtual void createScreens();

private:
  void goTo(std::uint32_t index);
};

} // namespace pod
