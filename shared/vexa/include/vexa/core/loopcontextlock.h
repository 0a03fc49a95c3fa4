#pragma once

#include <memory>

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
// window no lock is taken, and SFML goes on as it would without this.
class LoopContextLock {
public:
  explicit LoopContextLock(sf::RenderWindow* window);
  ~LoopContextLock();
  LoopContextLock(const LoopContextLock&) = delete;
  LoopContextLock& operator=(const LoopContextLock&) = delete;

private:
  struct Held;
  std::unique_ptr<Held> held_;
};

} // namespace vexa
