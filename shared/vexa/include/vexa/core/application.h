#pragma once

#include <SFML/Window/Event.hpp>

#include <cstdint>
#include <functional>
#include <memory>

namespace vexa {

class AbstractState;

class FocusManager;
class Graphics;
class GuiFactory;
class InputManager;
class InputProcessor;
class PathManager;
class ResourceManager;
class StateManager;

// The one application object: creates the components, opens the window and
// runs the main loop. A program derives from it and creates its components.
class Application {
public:
  // Where the main loop reads the time (seconds since any fixed point) and
  // how it waits. Tests replace both to run the loop on a fake clock.
  struct Clock {
    std::function<double()> now;
    std::function<void(float seconds)> sleep;
  };
  // Fills the event and returns true while events are pending.
  using EventSource = std::function<bool(sf::Event&)>;

  Application();

  virtual ~Application();
  virtual bool init();
  virtual bool run();
  virtual void close();
  virtual float gameRate() const;
  virtual float frameRate() const;
  virtual void setGameRate(float gameRate);
  virtual void setFrameRate(float frameRate);
  virtual bool createComponents() = 0;
  virtual bool setComponents(Application* application,
                             std::unique_ptr<FocusManager> focusManager,
                             std::unique_ptr<Graphics> graphics,
                             std::unique_ptr<GuiFactory> guiFactory,
                             std::unique_ptr<InputManager> inputManager,
                             std::unique_ptr<InputProcessor> inputProcessor,
                             std::unique_ptr<PathManager> pathManager,
                             std::unique_ptr<ResourceManager> resourceManager,
                             std::unique_ptr<StateManager> stateManager);

  void setClock(Clock clock);
  // Frames shown by the main loop since it started.
  std::uint64_t framesPresented() const { return framesPresented_; }
  // The default source polls the graphics component's window.
  void setEventSource(EventSource source);

protected:
  // The paced loop for games: sleeps between deadlines, keeps the window at
  // least minWidth x minHeight, hands update the fixed game rate and draw the
  // frame period with an interpolation of 1, and drops missed frames.
  bool runPaced(unsigned minWidth, unsigned minHeight);

private:
  enum class Loop { Engine, Paced };

  bool loop(Loop kind, unsigned minWidth, unsigned minHeight);
  // One update step; false once the loop must stop.
  bool step(Loop kind, unsigned minWidth, unsigned minHeight);
  void pollEvents(Loop kind, unsigned minWidth, unsigned minHeight);

  // Whether the frame now due must be drawn (see AbstractState::isStill).
  bool frameNeeded(const AbstractState* state, double now) const;

  float gameRate_ = 0.05f;
  float frameRate_ = 1.f / 60.f;
  // When input last came, and what the window shows since when.
  bool eventPolled_ = false;
  double lastEventAt_ = 0.0;
  const AbstractState* presented_ = nullptr;
  double presentedAt_ = 0.0;
  std::uint64_t framesPresented_ = 0;
  Clock clock_;
  EventSource events_;
};

} // namespace vexa
