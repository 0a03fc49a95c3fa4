#include "vexa/core/keymap.h"

namespace vexa {

void KeyMap::bindKey(sf::Keyboard::Key key, const std::string& button) {
  keys_[key] = button;
}

void KeyMap::bindWheel(const std::string& forward, const std::string& backward) {
  wheelForward_ = forward;
  wheelBackward_ = backward;
}

const std::string* KeyMap::button(sf::Keyboard::Key key) const {
  auto it = keys_.find(key);
  return it == keys_.end() ? nullptr : &it->second;
}

const std::vector<std::string>& standardButtons() {
  static const std::vector<std::string> buttons = {
      "up",    "left",  "down",     "right",  "altUp",  "altLeft",
      "altDown", "altRight", "enter", "erase", "touch", "alttouch",
      "escape", "debug", "zoomin",  "zoomout"};
  return buttons;
}

KeyMap standardKeyMap() {
  using K = sf::Keyboard;
  KeyMap map;
  map.bindKey(K::Up, "up");
  map.bindKey(K::Left, "left");
  map.bindKey(K::Down, "down");
  map.bindKey(K::Right, "right");
  // Both QWERTY and AZERTY players find their second set under the left hand.
  map.bindKey(K::W, "altUp");
  map.bindKey(K::Z, "altUp");
  map.bindKey(K::A, "altLeft");
  map.bindKey(K::Q, "altLeft");
  map.bindKey(K::S, "altDown");
  map.bindKey(K::D, "altRight");
  map.bindKey(K::Enter, "enter");
  map.bindKey(K::Delete, "erase");
  map.bindKey(K::Escape, "escape");
  map.bindKey(K::Tab, "debug");
  map.bindKey(K::Add, "zoomin");
  map.bindKey(K::Subtract, "zoomout");
  map.bindWheel("zoomin", "zoomout");
  return map;
}

} // namespace vexa
