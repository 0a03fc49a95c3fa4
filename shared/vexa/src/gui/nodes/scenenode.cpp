#include "vexa/gui/nodes/scenenode.h"

#include "vexa/core/components.h"
#include "vexa/core/focusmanager.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <qutils/assert.h>

#include <algorithm>

namespace vexa {

namespace {

// The GUI lives on the main thread only.
int deferralDepth = 0;
std::vector<SceneNode::Ptr>& graveyard() {
  static std::vector<SceneNode::Ptr> nodes;
  return nodes;
}

} // namespace

DeferredDeletion::DeferredDeletion() { ++deferralDepth; }

DeferredDeletion::~DeferredDeletion() {
  if (deferralDepth > 1) {
    --deferralDepth;
    return;
  }
  // Destructors run no callbacks, but keep deferring while they run.
  while (!graveyard().empty()) {
    std::vector<SceneNode::Ptr> dead;
    dead.swap(graveyard());
  }
  deferralDepth = 0;
}

bool DeferredDeletion::active() { return deferralDepth > 0; }

void SceneNode::dispose(std::vector<Ptr> nodes) {
  if (!DeferredDeletion::active())
    return;
  for (Ptr& node : nodes)
    graveyard().push_back(std::move(node));
}

SceneNode::SceneNode(SceneNode* parent) : parent_(parent) {}

SceneNode::~SceneNode() {
  // A node should give up the focus before it dies; never leave the focus
  // manager pointing at freed memory if it did not.
  if (FocusManager* focus = components().focusManager())
    focus->forget(this);
}

sf::FloatRect SceneNode::globalBounds() const { return {}; }

SceneNode* SceneNode::createChild() {
  return attachChild(std::make_unique<SceneNode>(this));
}

SceneNode* SceneNode::attachChild(Ptr child) {
  Q_ASSERT(child);
  child->parent_ = this;
  children_.push_back(std::move(child));
  return children_.back().get();
}

SceneNode* SceneNode::child(std::size_t index) const {
  return index < children_.size() ? children_[index].get() : nullptr;
}

std::vector<SceneNode*> SceneNode::children() const {
  std::vector<SceneNode*> result;
  result.reserve(children_.size());
  for (const Ptr& child : children_)
    result.push_back(child.get());
  return result;
}

void SceneNode::clearChildren() {
  std::vector<Ptr> removed;
  removed.swap(children_);
  for (Ptr& child : removed)
    child->parent_ = nullptr;
  dispose(std::move(removed));
}

SceneNode::Ptr SceneNode::detachChild(const SceneNode& node) {
  auto found = std::find_if(children_.begin(), children_.end(),
                            [&](const Ptr& p) { return p.get() == &node; });
  Q_ASSERT(found != children_.end());
  if (found == children_.end())
    return nullptr;
  Ptr result = std::move(*found);
  children_.erase(found);
  result->parent_ = nullptr;
  return result;
}

void SceneNode::drawChildren(sf::RenderTarget& target,
                             sf::RenderStates states) const {
  for (const Ptr& child : children_)
    target.draw(*child, states);
}

void SceneNode::drawSelf(sf::RenderTarget&, sf::RenderStates) const {}

void SceneNode::draw(sf::RenderTarget& target, sf::RenderStates states) const {
  if (!visible_)
    return;
  states.transform *= getTransform();
  drawSelf(target, states);
  drawChildren(target, states);
}

void SceneNode::releaseFocus() {
  DeferredDeletion guard;
  if (hasFocus())
    focusManager().releaseFocus(this);
}

bool SceneNode::isEnabled() const { return enabled_; }

bool SceneNode::takeFocus() {
  DeferredDeletion guard;
  if (hasFocus())
    return false;
  return focusManager().requestFocus(this);
}

bool SceneNode::hasFocus() const {
  const FocusManager* focus = components().focusManager();
  return focus && focus->focused() == this;
}

void SceneNode::hide() {
  DeferredDeletion guard;
  if (!visible_)
    return;
  visible_ = false;
  if (hasFocus())
    releaseFocus();
  endPointer();
  onHidden();
}

bool SceneNode::hitTest(const qutils::Vec2&, bool&) const { return false; }

void SceneNode::onFocusGained() { focusGained(); }

void SceneNode::onFocusLost() { focusLost(); }

void SceneNode::update(float dt) {
  DeferredDeletion guard;
  onUpdate(dt);
  updateChildren(dt);
}

void SceneNode::updateChildren(float dt) {
  // By index: a child's update may rebuild the list.
  for (std::size_t i = 0; i < children_.size(); ++i)
    children_[i]->update(dt);
}

void SceneNode::onUpdate(float) {}

qutils::Vec2 SceneNode::worldPosition() const {
  const sf::Vector2f p = worldTransform().transformPoint(0.f, 0.f);
  return {p.x, p.y};
}

sf::Transform SceneNode::worldTransform() const {
  sf::Transform transform = sf::Transform::Identity;
  for (const SceneNode* node = this; node; node = node->parent_)
    transform = node->getTransform() * transform;
  return transform;
}

void SceneNode::onDisabled() {}
void SceneNode::onEnabled() {}
void SceneNode::focusGained() {}
void SceneNode::focusLost() {}
void SceneNode::onHidden() {}
void SceneNode::onHoverEnter() {}
void SceneNode::onHoverLeave() {}
void SceneNode::onShown() {}
void SceneNode::onTouchDown(const qutils::Vec2&) {}
void SceneNode::onTouchCancel() {}
void SceneNode::onTouchUp(const qutils::Vec2&) {}

void SceneNode::show() {
  if (visible_)
    return;
  visible_ = true;
  onShown();
}

void SceneNode::setVisible(bool visible) {
  DeferredDeletion guard;
  visible_ = visible;
  if (!visible && hasFocus())
    releaseFocus();
  if (!visible)
    endPointer();
}

void SceneNode::setEnabled(bool enabled) {
  DeferredDeletion guard;
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  if (enabled) {
    onEnabled();
  } else {
    onDisabled();
    if (hasFocus())
      releaseFocus();
    endPointer();
  }
}

void SceneNode::endPointer() {
  // The pointer passes skip this subtree from now on: a press or hover left
  // set would meet the next pass's preconditions once the subtree is back.
  for (const Ptr& child : children_)
    child->endPointer();
  if (touch_) {
    touch_ = false;
    onTouchCancel();
  }
  if (hover_) {
    hover_ = false;
    onHoverLeave();
  }
}

bool SceneNode::isHit(const qutils::Vec2& point) const {
  bool inside = false;
  return hitTest(point, inside) && inside;
}

void SceneNode::updateHover(const qutils::Vec2& point) {
  DeferredDeletion guard;
  if (!visible_ || !enabled_)
    return;
  for (std::size_t i = 0; i < children_.size(); ++i)
    children_[i]->updateHover(point);

  if (isHit(point)) {
    if (!hover_) {
      hover_ = true;
      onHoverEnter();
    }
  } else if (hover_) {
    hover_ = false;
    onHoverLeave();
    // Moving off a pressed node cancels the press.
    if (touch_) {
      touch_ = false;
      onTouchCancel();
    }
  }
}

bool SceneNode::touchDown(const qutils::Vec2& point) {
  DeferredDeletion guard;
  if (!visible_ || !enabled_)
    return false;
  // Children before their parent, earlier children before later ones.
  for (std::size_t i = 0; i < children_.size(); ++i) {
    if (children_[i]->touchDown(point))
      return true;
  }
  if (!isHit(point))
    return false;
  Q_ASSERT(hover_ && !touch_);
  touch_ = true;
  onTouchDown(point);
  return true;
}

bool SceneNode::touchUp(const qutils::Vec2& point) {
  DeferredDeletion guard;
  if (!visible_ || !enabled_)
    return false;
  for (std::size_t i = 0; i < children_.size(); ++i) {
    if (children_[i]->touchUp(point))
      return true;
  }
  if (isHit(point)) {
    Q_ASSERT(hover_);
    if (touch_) {
      touch_ = false;
      onTouchUp(point);
      return true;
    }
  }
  // Not pressed here: let the parent have it.
  return false;
}

} // namespace vexa
