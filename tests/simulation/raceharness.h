#pragma once

// The game's components, with a state manager that hands out the race screen.

#include "app/guifactory.h"
#include "app/podapp.h"
#include "app/podinputprocessor.h"
#include "app/podpathmanager.h"
#include "app/podresourcemanager.h"
#include "app/podstatemanager.h"
#include "screens/statemenu.h"
#include "screens/staterace.h"

#include <vexa/core/components.h>
#include <vexa/core/focusmanager.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>

#include <memory>
#include <utility>

namespace raceharness {

class HarnessStateManager : public pod::PodStateManager {
public:
  pod::StateRace* race() const { return dynamic_cast<pod::StateRace*>(state(Race)); }
};

class HarnessApp : public pod::PodApp {
public:
  bool createComponents() override {
    return setComponents(this, std::make_unique<vexa::FocusManager>(),
                         std::make_unique<vexa::Graphics>(), std::make_unique<pod::GuiFactory>(),
                         std::make_unique<vexa::InputManager>(),
                         std::make_unique<pod::PodInputProcessor>(),
                         std::make_unique<pod::PodPathManager>(),
                         std::make_unique<pod::PodResourceManager>(),
                         std::make_unique<HarnessStateManager>());
  }
};

inline HarnessStateManager& states() {
  return dynamic_cast<HarnessStateManager&>(vexa::stateManager());
}

} // namespace raceharness
