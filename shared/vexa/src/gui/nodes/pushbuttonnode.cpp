#include "vexa/gui/nodes/pushbuttonnode.h"

namespace vexa {

PushButtonNode::PushButtonNode(SceneNode* parent) : SceneNode(parent) {}

void PushButtonNode::onTouchCancel() {
  SceneNode::onTouchCancel();
  releaseFocus();
}

void PushButtonNode::onTouchUp(const qutils::Vec2& point) {
  SceneNode::onTouchUp(point);
  if (!hasFocus())
    takeFocus();
  // Last: the callback may rebuild the screen and destroy this button.
  if (callback_) {
    Callback callback = callback_;
    callback();
  }
}

} // namespace vexa
