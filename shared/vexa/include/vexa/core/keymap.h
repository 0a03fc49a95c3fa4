#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <map>
#include <string>
#include <vector>

namespace vexa {

// Which logical button each key and each wheel direction drives.
class KeyMap {
public:
  void bindKey(sf::Keyboard::Key key, const std::string& button);
  void bindWheel(const std::string& forward, const std::string& backward);

  // Null for an unbound key.
  const std::string* button(sf::Keyboard::Key key) const;
  // Empty when the wheel is unbound.
  const std::string& wheelForward() const { return wheelForward_; }
  const std::string& wheelBackward() const { return wheelBackward_; }

private:
  std::map<sf::Keyboard::Key, std::string> keys_;
  std::string wheelForward_;
  std::string wheelBackward_;
};

// The sixteen standard buttons, in registration order (this fixes their ids).
const std::vector<std::string>& standardButtons();

// The standard bindings: arrows, W/A/S/D and Z/Q/S/D for the second set,
// Enter, Delete, Escape, Tab, keypad +/- and the wheel for zooming.
KeyMap standardKeyMap();

} // namespace vexa
