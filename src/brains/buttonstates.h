#pragma once

#include <string>

namespace pod {

// The held state of the logical buttons, as keyboard brains see it. The game
// answers from its input manager; brains stay free of any window library.
class ButtonStates {
public:
  virtual ~ButtonStates() = default;
  virtual bool isHeld(const std::string& button) const = 0;
};

} // namespace pod
