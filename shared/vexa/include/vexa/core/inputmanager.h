#pragma once

#include <qutils/vec2.h>

#include <map>
#include <string>

namespace sf {
class RenderTarget;
class View;
} // namespace sf

namespace vexa {

// Logical buttons by name: held between press and release, pressed and
// released during the update step in which they happened.
class InputManager {
public:
  bool init();
  void addButton(const std::string& id);
  bool isValidButtonId(const std::string& id) const;
  bool isHeld(const std::string& id) const;
  bool isPressed(const std::string& id) const;
  bool isReleased(const std::string& id) const;
  void press(const std::string& id);
  void release(const std::string& id);
  // Releases every held button: the window lost the keyboard, and the
  // releases that follow would never arrive.
  void releaseAll();
  // Start of an update step: clears the edge flags.
  void update();

  // Window pixels from the top-left corner.
  qutils::Vec2 mousePosition() const;
  // Mapped through view to the coordinates of target.
  qutils::Vec2 mousePosition(const sf::RenderTarget& target,
                             const sf::View& view) const;

private:
  struct Button {
    std::string text;
    bool held = false;
    bool pressed = false;
    bool released = false;
  };

  const Button* find(const std::string& id) const;

  std::map<std::string, Button> buttons_;
};

} // namespace vexa
