#pragma once

#include <memory>

namespace vexa {

class Application;
class FocusManager;
class Graphics;
class GuiFactory;
class InputManager;
class InputProcessor;
class PathManager;
class ResourceManager;
class StateManager;

// The process-wide registry of the nine service components. It owns all of
// them but the application.
class Components {
public:
  static Components& instance();

  Application* application() const { return application_; }
  FocusManager* focusManager() const { return focusManager_.get(); }
  Graphics* graphics() const { return graphics_.get(); }
  GuiFactory* guiFactory() const { return guiFactory_.get(); }
  InputManager* inputManager() const { return inputManager_.get(); }
  InputProcessor* inputProcessor() const { return inputProcessor_.get(); }
  PathManager* pathManager() const { return pathManager_.get(); }
  ResourceManager* resourceManager() const { return resourceManager_.get(); }
  StateManager* stateManager() const { return stateManager_.get(); }

  // Replaces every entry; the previous components are destroyed first.
  void set(Application* application,
           std::unique_ptr<FocusManager> focusManager,
           std::unique_ptr<Graphics> graphics,
           std::unique_ptr<GuiFactory> guiFactory,
           std::unique_ptr<InputManager> inputManager,
           std::unique_ptr<InputProcessor> inputProcessor,
           std::unique_ptr<PathManager> pathManager,
           std::unique_ptr<ResourceManager> resourceManager,
           std::unique_ptr<StateManager> stateManager);

  // Forgets the application, then destroys the components in field order.
  // The state manager goes last: its screens may still ask for the others,
  // which by then answer null.
  void clear();

  ~Components();

private:
  Components() = default;
  Components(const Components&) = delete;
  Components& operator=(const Components&) = delete;

  Application* application_ = nullptr;
  std::unique_ptr<FocusManager> focusManager_;
  std::unique_ptr<Graphics> graphics_;
  std::unique_ptr<GuiFactory> guiFactory_;
  std::unique_ptr<InputManager> inputManager_;
  std::unique_ptr<InputProcessor> inputProcessor_;
  std::unique_ptr<PathManager> pathManager_;
  std::unique_ptr<ResourceManager> resourceManager_;
  std::unique_ptr<StateManager> stateManager_;
};

inline Components& components() { return Components::instance(); }

// Shorthands for code that knows the components exist.
Application& application();
FocusManager& focusManager();
Graphics& graphics();
GuiFactory& guiFactory();
InputManager& inputManager();
InputProcessor& inputProcessor();
PathManager& pathManager();
ResourceManager& resourceManager();
StateManager& stateManager();

} // namespace vexa
