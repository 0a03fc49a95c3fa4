#include "vexa/core/abstractstate.h"

namespace vexa {

void AbstractState::resetTime() { elapsedTime_ = 0.f; }

void AbstractState::onResize() { updateLayout(); }

void AbstractState::update(float dt) { elapsedTime_ += dt; }

} // namespace vexa
