#pragma once

#include "vexa/gui/abstracttextbox.h"
#include "vexa/gui/nodes/scenenode.h"

#include <SFML/Graphics/RectangleShape.hpp>

namespace vexa {

// A text box in the scene graph: editing goes with the keyboard focus, and
// the focused box shows a blinking cursor. Subclasses place the cursor.
class TextBoxNode : public SceneNode, public AbstractTextBox {
public:
  TextBoxNode(SceneNode* parent, InputProcessor* inputProcessor);

  void drawSelf(sf::RenderTarget& target, sf::RenderStates states) const override;
  void onUpdate(float dt) override;
  void onDisabled() override;
  void onEnabled() override;
  void focusGained() override;
  void focusLost() override;
  void onTouchUp(const qutils::Vec2& point) override;

  // Takes the focus first; nothing happens without it.
  void startEditing() override;
  // Also gives up the focus.
  void stopEditing() override;
  // Restores the text and gives up the focus: a click edits it again.
  void cancel() override;

  // Sizes the cursor from the font; called when the focus arrives.
  virtual void updateCursorSize();

  void setBlinkPeriod(float speed);
  float blinkPeriod() const { return blinkPeriod_; }
  bool isCursorShown() const { return cursorShown_; }
  const sf::RectangleShape& cursorShape() const { return cursor_; }

protected:
  sf::RectangleShape& cursorRect() { return cursor_; }

private:
  sf::RectangleShape cursor_;
  float blinkPeriod_ = 0.5f;
  float blinkTimer_ = 0.f;
  bool cursorShown_ = false;
};

} // namespace vexa
