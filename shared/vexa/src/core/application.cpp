#include "vexa/core/application.h"

#include "vexa/core/abstractstate.h"
#include "vexa/core/components.h"
#include "vexa/core/focusmanager.h"
#include "vexa/core/graphics.h"
#include "vexa/core/inputmanager.h"
#include "vexa/core/inputprocessor.h"
#include "vexa/core/loopcontextlock.h"
#include "vexa/core/looptimer.h"
#include "vexa/core/pathmanager.h"
#include "vexa/core/resourcemanager.h"
#include "vexa/core/statemanager.h"
#include "vexa/gui/guifactory.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Clock.hpp>
#include <SFML/System/Sleep.hpp>
#include <qutils/assert.h>

#include <algorithm>
#include <exception>
#include <iostream>

namespace vexa {

Application::Application() {
  auto clock = std::make_shared<sf::Clock>();
  clock_.now = [clock] {
    return static_cast<double>(clock->getElapsedTime().asMicroseconds()) / 1e6;
  };
  clock_.sleep = [](float seconds) { sf::sleep(sf::seconds(seconds)); };
  events_ = [](sf::Event& event) {
    sf::RenderWindow* window = graphics().window();
    return window && window->pollEvent(event);
  };
}

Application::~Application() { components().clear(); }

bool Application::init() {
  if (!createComponents()) {
    Q_ASSERT(false);
    return false;
  }
  const Components& comp = components();
  Q_ASSERT(comp.application() && comp.focusManager() && comp.graphics() && comp.guiFactory() && comp.inputManager() && comp.inputProcessor() && comp.pathManager() && comp.resourceManager() && comp.stateManager());
  if (!(comp.application() && comp.focusManager() && comp.graphics() &&
        comp.guiFactory() && comp.inputManager() && comp.inputProcessor() &&
        comp.pathManager() && comp.resourceManager() && comp.stateManager()))
    return false;

  if (!comp.pathManager()->init()) {
    Q_ASSERT(false);
    return false;
  }
  // Throws std::runtime_error on a missing file: the program reports it.
  if (!comp.resourceManager()->loadResources()) {
    Q_ASSERT(false);
    return false;
  }
  if (!comp.graphics()->init("")) {
    Q_ASSERT(false);
    return false;
  }
  if (!comp.inputManager()->init()) {
    Q_ASSERT(false);
    return false;
  }
  if (!comp.inputProcessor()->init()) {
    Q_ASSERT(false);
    return false;
  }
  if (!comp.stateManager()->init()) {
    Q_ASSERT(false);
    return false;
  }
  return true;
}

bool Application::run() { return loop(Loop::Engine, 0, 0); }

bool Application::runPaced(unsigned minWidth, unsigned minHeight) {
  return loop(Loop::Paced, minWidth, minHeight);
}

void Application::close() {
  if (sf::RenderWindow* window = graphics().window())
    window->close();
}

float Application::gameRate() const { return gameRate_; }

float Application::frameRate() const { return frameRate_; }

void Application::setGameRate(float gameRate) {
  Q_ASSERT(gameRate > 0.f);
  gameRate_ = gameRate;
}

void Application::setFrameRate(float frameRate) { frameRate_ = frameRate; }

bool Application::setComponents(
    Application* application, std::unique_ptr<FocusManager> focusManager,
    std::unique_ptr<Graphics> graphics, std::unique_ptr<GuiFactory> guiFactory,
    std::unique_ptr<InputManager> inputManager,
    std::unique_ptr<InputProcessor> inputProcessor,
    std::unique_ptr<PathManager> pathManager,
    std::unique_ptr<ResourceManager> resourceManager,
    std::unique_ptr<StateManager> stateManager) {
  components().set(application, std::move(focusManager), std::move(graphics),
                   std::move(guiFactory), std::move(inputManager),
                   std::move(inputProcessor), std::move(pathManager),
                   std::move(resourceManager), std::move(stateManager));
  return true;
}

void Application::setClock(Clock clock) { clock_ = std::move(clock); }

void Application::setEventSource(EventSource source) {
  events_ = std::move(source);
}

bool Application::loop(Loop kind, unsigned minWidth, unsigned minHeight) {
  LoopTimer timer;
  const LoopContextLock contextLock(graphics().window());
  const double start = clock_.now();
  double previous = 0.0;

  try {
    for (;;) {
      if (!graphics().isOpen())
        return true;

      const double now = clock_.now() - start;
      const auto dt = static_cast<float>(now - previous);
      previous = now;
      timer.advance(dt);

      if (kind == Loop::Paced) {
        float wait = timer.sleepTime(gameRate(), frameRate());
        // Within the wake-up margin the rule above sleeps for nothing, and
        // spinning there took 10 ms of every frame from the renderer and
        // the planners: short naps instead, never past the deadline.
        constexpr float kNap = 0.001f;
        const float ahead =
            std::min(gameRate() - timer.updateTime(), frameRate() - timer.drawTime());
        if (wait <= 0.f && ahead > 0.f)
          wait = std::min(ahead, kNap);
        if (wait > 0.f)
          clock_.sleep(wait);
      }

      while (timer.consumeUpdate(gameRate())) {
        if (!step(kind, minWidth, minHeight))
          return true;
      }

      // A close event in this pass leaves nothing to draw on.
      if (graphics().isOpen() && timer.frameDue(frameRate())) {
        if (eventPolled_) {
          eventPolled_ = false;
          lastEventAt_ = now;
        }
        AbstractState* state = stateManager().currentState();
        if (frameNeeded(state, now)) {
          sf::RenderWindow& window = *graphics().window();
          window.clear(sf::Color(0, 0, 0, 255));
          if (state) {
            if (kind == Loop::Paced)
              state->draw(frameRate(), 1.f);
            else
              state->draw(dt, timer.interpolation(gameRate()));
          }
          window.display();
          ++framesPresented_;
          presented_ = state;
          presentedAt_ = now;
        }
        if (kind == Loop::Paced)
          timer.dropFrames(frameRate());
        else
          timer.dropFramesKeepingOne(frameRate());
      }
    }
  } catch (const std::exception&) {
    std::cerr << "Something went wrong. Please make sure your graphics drivers "
                 "are up to date."
              << std::endl;
    return false;
  }
}

bool Application::frameNeeded(const AbstractState* state, double now) const {
  // Input takes effect over the next few updates (releases, deferred
  // switches); uncovered windows are not reported, hence the idle refresh.
  constexpr double kAfterInput = 0.25;
  constexpr double kIdleRefresh = 0.5;
  return !state || !state->isStill() || state != presented_ || now - lastEventAt_ < kAfterInput ||
         now - presentedAt_ >= kIdleRefresh;
}

bool Application::step(Loop kind, unsigned minWidth, unsigned minHeight) {
  inputManager().update();
  pollEvents(kind, minWidth, minHeight);

  if (graphics().isOpen()) {
    if (AbstractState* state = stateManager().currentState())
      state->update(gameRate());
  }
  if (stateManager().quitRequested()) {
    close();
    return false;
  }
  return true;
}

void Application::pollEvents(Loop kind, unsigned minWidth, unsigned minHeight) {
  sf::Event event;
  while (events_(event)) {
    eventPolled_ = true;
    if (inputProcessor().handleEvent(event))
      continue;
    if (event.type == sf::Event::Closed) {
      close();
      continue;
    }
    if (event.type == sf::Event::Resized) {
      unsigned width = event.size.width;
      unsigned height = event.size.height;
      if (kind == Loop::Paced) {
        width = std::max(width, minWidth);
        height = std::max(height, minHeight);
        graphics().window()->setSize({width, height});
      }
      graphics().onResize(width, height);
      stateManager().onResize();
      // The window may have changed under the remaining events.
      break;
    }
  }
}

} // namespace vexa
