#include "app/podinputprocessor.h"

#include <SFML/Window/Event.hpp>

namespace pod {

PodInputProcessor::PodInputProcessor() : keys_(vexa::standardKeyMap()) {
  replayKeys_.bindKey(sf::Keyboard::Space, "pause");
  replayKeys_.bindKey(sf::Keyboard::Home, "home");
  replayKeys_.bindKey(sf::Keyboard::End, "end");
}

const std::vector<std::string>& PodInputProcessor::replayButtons() {
  static const std::vector<std::string> buttons = {"pause", "home", "end"};
  return buttons;
}

bool PodInputProcessor::handleEvent(const sf::Event& event) {
  // Not consumed: text boxes still see Space, Home and End.
  handleMappedEvent(event, replayKeys_);
  return handleMappedEvent(event, keys_) || InputProcessor::handleEvent(event);
}

} // namespace pod
