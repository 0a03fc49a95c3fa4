#pragma once

#include <vexa/core/inputprocessor.h>
#include <vexa/core/keymap.h>

#include <string>
#include <vector>

namespace pod {

// The game's keys and wheel drive the logical buttons; everything else
// (mouse buttons, typed text, other keys) goes to the engine.
class PodInputProcessor : public vexa::InputProcessor {
public:
  PodInputProcessor();

  // The buttons the game adds to the sixteen standard ones, registered after
  // them: the replay controls (Space, Home, End).
  static const std::vector<std::string>& replayButtons();
  // Then the editor's: "pan" (middle mouse button), "grab" (Space, held to
  // drag the view with the left button) and "frame" (F).
  static const std::vector<std::string>& editorButtons();

  bool handleEvent(const sf::Event& event) override;

  const vexa::KeyMap& keys() const { return keys_; }

private:
  vexa::KeyMap keys_;
  vexa::KeyMap replayKeys_;
  vexa::KeyMap editorKeys_;
};

} // namespace pod
