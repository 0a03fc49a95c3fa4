#include "vexa/core/loopcontextlock.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Context.hpp>
#include <SFML/Window/GlResource.hpp>

namespace vexa {

// SFML keeps its transient lock for its own resources: a resource may hold one.
struct LoopContextLock::Held : sf::GlResource {
  TransientContextLock lock;
};

LoopContextLock::LoopContextLock(sf::RenderWindow* window) {
  const bool current = sf::Context::getActiveContextId() != 0 ||
                       (window && window->isOpen() && window->setActive(true));
  if (current)
    held_ = std::make_unique<Held>();
}

LoopContextLock::~LoopContextLock() = default;

} // namespace vexa
