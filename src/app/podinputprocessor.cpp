#include "app/podinputprocessor.h"

#include <SFML/Window/Event.hpp>

namespace pod {

PodInputProcessor::PodInputProcessor() : keys_(vexa::standardKeyMap()) {
  replayKeys_.bindKey(sf::Keyboard::Space, "pause");
  replayKeys_.bindKey(sf::Keyboard::Home, "home");
  replayKeys_.bindKey(sf::Keyboard::End, "end");
  editorKeys_.bindKey(sf::Keyboard::Space, "grab");
  editorKeys_.bindKey(sf::Keyboard::F, "frame");
}

const std::vector<std::string>& PodInputProcessor::replayButtons() {
  static const std::vector<std::string> buttons = {"pause", "home", "end"};
  return buttons;
}

const std::vector<std::string>& PodInputProcessor::editorButtons() {
  static const std::vector<std::string> buttons = {"pan", "grab", "frame"};
  return buttons;
}

bool PodInputProcessor::handleEvent(const sf::Event& event) {
  if ((event.type == sf::Event::MouseButtonPressed ||
       event.type == sf::Event::MouseButtonReleased) &&
      event.mouseButton.button == sf::Mouse::Middle) {
    if (event.type == sf::Event::MouseButtonPressed)
      press("pan");
    else
      release("pan");
    return true;
  }
  // Not consumed: text boxes still see Space, Home, End and F.
  handleMappedEvent(event, replayKeys_);
  handleMappedEvent(event, editorKeys_);
  return handleMappedEvent(event, keys_) || InputProcessor::handleEvent(event);
}

} // namespace pod
