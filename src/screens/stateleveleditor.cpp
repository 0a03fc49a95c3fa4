#include "screens/stateleveleditor.h"

namespace pod {

StateLevelEditor::StateLevelEditor() : vexa::AbstractState(cStateId) {}
StateLevelEditor::~StateLevelEditor() = default;

bool StateLevelEditor::cleanup() { return true; }
void StateLevelEditor::draw(float, float) {}
bool StateLevelEditor::init() { return true; }
void StateLevelEditor::reserved() {}
void StateLevelEditor::update(float dt) { vexa::AbstractState::update(dt); }
void StateLevelEditor::updateLayout() {}

} // namespace pod
