#include "vexa/core/components.h"

#include "vexa/core/application.h"
#include "vexa/core/focusmanager.h"
#include "vexa/core/graphics.h"
#include "vexa/gui/guifactory.h"
#include "vexa/core/inputmanager.h"
#include "vexa/core/inputprocessor.h"
#include "vexa/core/pathmanager.h"
#include "vexa/core/resourcemanager.h"
#include "vexa/core/statemanager.h"

#include <qutils/assert.h>

namespace vexa {

Components& Components::instance() {
  // Function-local statics are initialised once, thread-safely.
  static Components components;
  return components;
}

Components::~Components() { clear(); }

void Components::set(Application* application,
                     std::unique_ptr<FocusManager> focusManager,
                     std::unique_ptr<Graphics> graphics,
                     std::unique_ptr<GuiFactory> guiFactory,
                     std::unique_ptr<InputManager> inputManager,
                     std::unique_ptr<InputProcessor> inputProcessor,
                     std::unique_ptr<PathManager> pathManager,
                     std::unique_ptr<ResourceManager> resourceManager,
                     std::unique_ptr<StateManager> stateManager) {
  clear();
  application_ = application;
  focusManager_ = std::move(focusManager);
  graphics_ = std::move(graphics);
  guiFactory_ = std::move(guiFactory);
  inputManager_ = std::move(inputManager);
  inputProcessor_ = std::move(inputProcessor);
  pathManager_ = std::move(pathManager);
  resourceManager_ = std::move(resourceManager);
  stateManager_ = std::move(stateManager);
}

void Components::clear() {
  // reset() nulls the entry before deleting, so a dying component already
  // sees itself gone from the registry.
  application_ = nullptr;
  focusManager_.reset();
  graphics_.reset();
  guiFactory_.reset();
  inputManager_.reset();
  inputProcessor_.reset();
  pathManager_.reset();
  resourceManager_.reset();
  stateManager_.reset();
}

namespace {

template <typename T>
T& checked(T* component) {
  Q_ASSERT(component);
  return *component;
}

} // namespace

Application& application() { return checked(components().application()); }
FocusManager& focusManager() { return checked(components().focusManager()); }
Graphics& graphics() { return checked(components().graphics()); }
GuiFactory& guiFactory() { return checked(components().guiFactory()); }
InputManager& inputManager() { return checked(components().inputManager()); }
InputProcessor& inputProcessor() { return checked(components().inputProcessor()); }
PathManager& pathManager() { return checked(components().pathManager()); }
ResourceManager& resourceManager() { return checked(components().resourceManager()); }
StateManager& stateManager() { return checked(components().stateManager()); }

} // namespace vexa
