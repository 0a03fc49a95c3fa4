#pragma once

#include <vexa/core/inputprocessor.h>
#include <vexa/core/keymap.h>

namespace pod {

// The game's keys and wheel drive the sixteen logical buttons; everything
// else (mouse buttons, typed text, other keys) goes to the engine.
class PodInputProcessor : public vexa::InputProcessor {
public:
  PodInputProcessor();

  bool handleEvent(const sf::Event& event) override;

  const vexa::KeyMap& keys() const { return keys_; }

private:
  vexa::KeyMap keys_;
};

} // namespace pod
