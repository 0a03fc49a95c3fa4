#include "app/inputbuttonstates.h"

#include <vexa/core/components.h>
#include <vexa/core/inputmanager.h>

namespace pod {

InputButtonStates::InputButtonStates(const vexa::InputManager* input)
    : input_(input) {}

bool InputButtonStates::isHeld(const std::string& button) const {
  const vexa::InputManager* input =
      input_ ? input_ : vexa::components().inputManager();
  return input && input->isHeld(button);
}

const ButtonStates& keyboardButtons() {
  static const InputButtonStates buttons;
  return buttons;
}

} // namespace pod
