#include "vexa/gui/nodes/radiobuttonnode.h"

#include "vexa/gui/radiobuttongroup.h"

namespace vexa {

RadioButtonNode::RadioButtonNode(SceneNode* parent, RadioButtonGroup& group)
    : SceneNode(parent), group_(&group) {}

void RadioButtonNode::onTouchCancel() {
  SceneNode::onTouchCancel();
  releaseFocus();
}

void RadioButtonNode::onTouchUp(const qutils::Vec2& point) {
  SceneNode::onTouchUp(point);
  if (!hasFocus())
    takeFocus();
  if (!isSelected())
    group_->select(this);
}

bool RadioButtonNode::isSelected() const { return group_->selected() == this; }

void RadioButtonNode::onSelected() {}

void RadioButtonNode::onDeselected() {}

} // namespace vexa
