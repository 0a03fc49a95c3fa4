#include "app/podstatemanager.h"

#include "screens/statemenu.h"
#include "screens/stateleveleditor.h"
#include "screens/staterace.h"
#include "screens/statevfx.h"

namespace pod {

bool PodStateManager::init() {
  createScreens();
  return vexa::IndexedStateManager::init();
}

void PodStateManager::createScreens() {
  addState(std::make_unique<StateMenu>());
  addState(std::make_unique<StateRace>());
  addState(std::make_unique<StateLevelEditor>());
  addState(std::make_unique<StateVFX>());
}

void PodStateManager::goTo(std::uint32_t index) {
  if (hasScreen(index))
    setCurrentIndex(index);
}

void PodStateManager::goToMenu() {
  const bool returning = currentIndex() != Menu;
  goTo(Menu);
  // The editor may have written tracks meanwhile.
  if (StateMenu* m = returning ? menu() : nullptr)
    m->reloadTracks();
}

void PodStateManager::goToRace(RaceConfiguration config) {
  goTo(Race);
  if (auto* race = dynamic_cast<StateRace*>(state(Race)))
    race->startRace(config.timeAttack, config.nbPodsPerTeam, std::move(config.brains),
                    config.teamNames, config.track, config.player1Pod, config.player2Pod);
}

bool PodStateManager::goToReplay(Trace trace) {
  auto* race = dynamic_cast<StateRace*>(state(Race));
  if (!race)
    return false;
  goTo(Race);
  return race->startReplay(std::move(trace));
}

void PodStateManager::goToLevelEditor() { goTo(LevelEditor); }

void PodStateManager::goToVFX() {
  auto* vfx = dynamic_cast<StateVFX*>(state(VFX));
  if (!vfx || vfx->prepare())
    goTo(VFX);
}

void PodStateManager::restartRace() {
  if (StateMenu* m = menu())
    m->launchRace();
}

StateMenu* PodStateManager::menu() const {
  return dynamic_cast<StateMenu*>(state(Menu));
}

void PodStateManager::rememberChoices(Settings& settings) const {
  if (StateMenu* m = menu())
    m->rememberChoices(settings);
  if (hasScreen(Race))
    if (auto* race = dynamic_cast<StateRace*>(state(Race)))
      race->rememberChoices(settings);
}

} // namespace pod
