#include "vexa/core/inputmanager.h"

#include "vexa/core/components.h"
#include "vexa/core/graphics.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Mouse.hpp>
#include <qutils/assert.h>

namespace vexa {

bool InputManager::init() {
  addButton("touch");
  return true;
}

void InputManager::addButton(const std::string& id) {
  buttons_.emplace(id, Button{});
}

bool InputManager::isValidButtonId(const std::string& id) const {
  return buttons_.count(id) != 0;
}

const InputManager::Button* InputManager::find(const std::string& id) const {
  auto it = buttons_.find(id);
  return it == buttons_.end() ? nullptr : &it->second;
}

bool InputManager::isHeld(const std::string& id) const {
  Q_ASSERT(isValidButtonId(id));
  const Button* button = find(id);
  return button && button->held;
}

bool InputManager::isPressed(const std::string& id) const {
  Q_ASSERT(isValidButtonId(id));
  const Button* button = find(id);
  return button && button->pressed;
}

bool InputManager::isReleased(const std::string& id) const {
  Q_ASSERT(isValidButtonId(id));
  const Button* button = find(id);
  return button && button->released;
}

void InputManager::press(const std::string& id) {
  auto it = buttons_.find(id);
  if (it == buttons_.end()) {
    Q_ASSERT(false);
    return;
  }
  it->second.held = true;
  it->second.pressed = true;
}

void InputManager::release(const std::string& id) {
  auto it = buttons_.find(id);
  if (it == buttons_.end()) {
    Q_ASSERT(false);
    return;
  }
  it->second.held = false;
  it->second.released = true;
}

void InputManager::releaseAll() {
  for (auto& [id, button] : buttons_) {
    if (button.held) {
      button.held = false;
      button.released = true;
    }
  }
}

void InputManager::update() {
  for (auto& entry : buttons_) {
    entry.second.pressed = false;
    entry.second.released = false;
  }
}

qutils::Vec2 InputManager::mousePosition() const {
  const sf::Vector2i p = sf::Mouse::getPosition(*graphics().window());
  return {static_cast<float>(p.x), static_cast<float>(p.y)};
}

qutils::Vec2 InputManager::mousePosition(const sf::RenderTarget& target,
                                         const sf::View& view) const {
  const sf::Vector2i p = sf::Mouse::getPosition(*graphics().window());
  const sf::Vector2f world = target.mapPixelToCoords(p, view);
  return {world.x, world.y};
}

} // namespace vexa
