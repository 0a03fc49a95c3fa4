#include "vexa/gui/nodes/shapeshifterpushbuttonnode.h"

namespace vexa {

ShapeShifterPushButtonNode::ShapeShifterPushButtonNode(SceneNode* parent,
                                                       std::uint32_t flags,
                                                       std::uint32_t shapeType)
    : PushButtonNode(parent), ShapeShifter(flags, shapeType) {}

sf::FloatRect ShapeShifterPushButtonNode::globalBounds() const {
  return ShapeShifter::globalBounds(worldPosition());
}

void ShapeShifterPushButtonNode::drawSelf(sf::RenderTarget& target,
                                          sf::RenderStates states) const {
  ShapeShifter::draw(target, states);
}

void ShapeShifterPushButtonNode::draw(sf::RenderTarget& target,
                                      sf::RenderStates states) const {
  SceneNode::draw(target, states);
}

bool ShapeShifterPushButtonNode::hitTest(const qutils::Vec2& point,
                                         bool& inside) const {
  inside = globalBounds().contains(point.x, point.y);
  return true;
}

void ShapeShifterPushButtonNode::onHoverEnter() {
  PushButtonNode::onHoverEnter();
  updateLayout();
}

void ShapeShifterPushButtonNode::onHoverLeave() {
  PushButtonNode::onHoverLeave();
  updateLayout();
}

void ShapeShifterPushButtonNode::onTouchDown(const qutils::Vec2& point) {
  PushButtonNode::onTouchDown(point);
  updateLayout();
}

void ShapeShifterPushButtonNode::onTouchCancel() {
  PushButtonNode::onTouchCancel();
  updateLayout();
}

void ShapeShifterPushButtonNode::onTouchUp(const qutils::Vec2& point) {
  // Layout before the click runs: the callback may destroy this button.
  updateLayout();
  PushButtonNode::onTouchUp(point);
}

} // namespace vexa
