#include "screens/statevfx.h"

namespace pod {

StateVFX::StateVFX() : vexa::AbstractState(cStateId) {}
StateVFX::~StateVFX() = default;

bool StateVFX::cleanup() { return true; }
void StateVFX::draw(float, float) {}
bool StateVFX::init() { return true; }
void StateVFX::reserved() {}
void StateVFX::update(float dt) { vexa::AbstractState::update(dt); }
void StateVFX::updateLayout() {}

} // namespace pod
