#pragma once

#include "brains/buttonstates.h"

namespace vexa {
class InputManager;
}

namespace pod {

// Lets keyboard brains read the logical buttons of an input manager.
class InputButtonStates : public ButtonStates {
public:
  // Without an input manager, the registry's is asked at every query, so the
  // adapter outlives any change of components.
  explicit InputButtonStates(const vexa::InputManager* input = nullptr);

  // False when no input manager exists (the program is shutting down).
  bool isHeld(const std::string& button) const override;

private:
  const vexa::InputManager* input_;
};

// The adapter the game hands to its keyboard brains; it lives as long as the
// program.
const ButtonStates& keyboardButtons();

} // namespace pod
