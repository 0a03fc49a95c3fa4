#include "app/podinputprocessor.h"

#include <SFML/Window/Event.hpp>

namespace pod {

PodInputProcessor::PodInputProcessor() : keys_(vexa::standardKeyMap()) {}

bool PodInputProcessor::handleEvent(const sf::Event& event) {
  return handleMappedEvent(event, keys_) || InputProcessor::handleEvent(event);
}

} // namespace pod
