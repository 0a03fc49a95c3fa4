#include "vexa/gui/nodes/textboxnode.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <qutils/assert.h>

namespace vexa {

namespace {

void setAlpha(sf::RectangleShape& shape, sf::Uint8 alpha) {
  sf::Color colour = shape.getFillColor();
  colour.a = alpha;
  shape.setFillColor(colour);
}

} // namespace

TextBoxNode::TextBoxNode(SceneNode* parent, InputProcessor* inputProcessor)
    : SceneNode(parent), AbstractTextBox(inputProcessor) {
  cursor_.setFillColor(sf::Color::White);
}

void TextBoxNode::drawSelf(sf::RenderTarget& target,
                           sf::RenderStates states) const {
  SceneNode::drawSelf(target, states);
  if (hasFocus())
    target.draw(cursor_, states);
}

void TextBoxNode::onUpdate(float dt) {
  if (!hasFocus())
    return;
  blinkTimer_ += dt;
  if (blinkTimer_ >= blinkPeriod_) {
    blinkTimer_ -= blinkPeriod_;
    cursorShown_ = !cursorShown_;
    setAlpha(cursor_, cursorShown_ ? 255 : 0);
  }
}

void TextBoxNode::onDisabled() {
  DeferredDeletion guard;
  if (hasFocus()) {
    stopEditing();
    releaseFocus();
  }
}

void TextBoxNode::onEnabled() {
  if (hasFocus())
    startEditing();
}

void TextBoxNode::focusGained() {
  blinkTimer_ = 0.f;
  cursorShown_ = true;
  setAlpha(cursor_, 255);
  startEditing();
  updateCursorSize();
  updateCursor();
}

void TextBoxNode::focusLost() { stopEditing(); }

void TextBoxNode::onTouchUp(const qutils::Vec2&) { startEditing(); }

void TextBoxNode::startEditing() {
  DeferredDeletion guard;
  if (!hasFocus() && !takeFocus())
    return;
  AbstractTextBox::startEditing();
}

void TextBoxNode::cancel() {
  DeferredDeletion guard;
  AbstractTextBox::cancel();
  releaseFocus();
}

void TextBoxNode::stopEditing() {
  DeferredDeletion guard;
  AbstractTextBox::stopEditing();
  releaseFocus();
}

void TextBoxNode::updateCursorSize() {}

void TextBoxNode::setBlinkPeriod(float speed) {
  Q_ASSERT(speed > 0.f);
  if (speed > 0.f)
    blinkPeriod_ = speed;
}

} // namespace vexa
