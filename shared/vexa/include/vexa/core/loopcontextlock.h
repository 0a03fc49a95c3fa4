#pragma once

#include <SFML/Window/GlResource.hpp>

namespace sf {
class RenderWindow;
}

namespace vexa {

// Held while the main loop runs. SFML takes a transient context lock at every
// texture or shader bind; without an outer one on the thread, each of those
// allocates and frees its bookkeeping, a hundred times a frame. With this one
// held they only count references. (Held per frame instead, it would cost
// that allocation once a frame itself.)
//
// The window's context is made current first when none is, so the lock finds
// a context and creates none of its own; render textures draw through that
// same context, and nothing in the loop deactivates it. Without an open
// window, SFML's shared context serves while the lock is held, as it would
// without it.
class LoopContextLock : sf::GlResource {
public:
  explicit LoopContextLock(sf::RenderWindow* window);

private:
  // Set before the lock is taken: members are built in this order.
  bool hasContext_;
  TransientContextLock lock_;
};

} // namespace vexa
