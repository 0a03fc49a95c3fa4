#include "vexa/core/loopcontextlock.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Context.hpp>

namespace vexa {

namespace {

bool makeCurrent(sf::RenderWindow* window) {
  if (sf::Context::getActiveContextId() != 0)
    return true;
  return window && window->isOpen() && window->setActive(true);
}

} // namespace

LoopContextLock::LoopContextLock(sf::RenderWindow* window) : hasContext_(makeCurrent(window)) {}

} // namespace vexa
