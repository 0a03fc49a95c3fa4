#include "vexa/core/indexedstatemanager.h"

#include "vexa/core/abstractstate.h"

#include <qutils/assert.h>

namespace vexa {

IndexedStateManager::~IndexedStateManager() {
  // In list order.
  for (auto& state : states_)
    state.reset();
}

bool IndexedStateManager::init() {
  bool ok = true;
  for (auto& state : states_)
    ok = state->init() && ok;
  return ok;
}

AbstractState* IndexedStateManager::currentState() const {
  return state(currentIndex_);
}

std::uint32_t IndexedStateManager::currentIndex() const { return currentIndex_; }

void IndexedStateManager::reserved() {}

void IndexedStateManager::onResize() {
  for (auto& state : states_)
    state->onResize();
}

void IndexedStateManager::unsupported() { Q_ASSERT(false); }

void IndexedStateManager::addState(std::unique_ptr<AbstractState> state) {
  Q_ASSERT(state);
  states_.push_back(std::move(state));
}

void IndexedStateManager::setCurrentIndex(std::uint32_t index) {
  Q_ASSERT(index < states_.size());
  if (index < states_.size())
    currentIndex_ = index;
}

std::uint32_t IndexedStateManager::stateCount() const {
  return static_cast<std::uint32_t>(states_.size());
}

AbstractState* IndexedStateManager::state(std::uint32_t index) const {
  return index < states_.size() ? states_[index].get() : nullptr;
}

} // namespace vexa
