#include "vexa/core/focusmanager.h"

#include "vexa/gui/nodes/scenenode.h"

namespace vexa {

void FocusManager::clearFocus() {
  DeferredDeletion guard;
  if (focused_)
    releaseFocus(focused_);
}

SceneNode* FocusManager::focused() const { return focused_; }

bool FocusManager::requestFocus(SceneNode* node) {
  // The hooks may commit a text box whose callback rebuilds the GUI.
  DeferredDeletion guard;
  // The previous holder no longer has the focus while it hears of the loss,
  // so that a hook giving the focus up does not run the loss twice.
  if (SceneNode* previous = focused_) {
    focused_ = nullptr;
    previous->onFocusLost();
  }
  focused_ = node;
  if (focused_)
    focused_->onFocusGained();
  return true;
}

bool FocusManager::releaseFocus(SceneNode* node) {
  DeferredDeletion guard;
  if (!node || node != focused_)
    return false;
  focused_ = nullptr;
  node->onFocusLost();
  return true;
}

void FocusManager::forget(const SceneNode* node) {
  if (node && node == focused_)
    focused_ = nullptr;
}

} // namespace vexa
