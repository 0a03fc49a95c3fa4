#pragma once

#include <cstdint>

namespace vexa {

class AbstractState;

// Holds the screens and knows the current one.
class StateManager {
public:
  virtual bool init() = 0;
  virtual AbstractState* currentState() const = 0;
  virtual std::uint32_t currentIndex() const = 0;
  virtual void reserved() = 0;
  virtual void onResize() = 0;
  virtual void unsupported() = 0;
  virtual ~StateManager() = default;

  // Checked by the main loop after every update step.
  bool quitRequested() const { return quit_; }
  void setQuit(bool quit) { quit_ = quit; }

private:
  bool quit_ = false;
};

} // namespace vexa
