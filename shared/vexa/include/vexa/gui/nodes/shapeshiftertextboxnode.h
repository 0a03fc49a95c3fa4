#pragma once

#include "vexa/gui/drawables/shapeshifter.h"
#include "vexa/gui/nodes/textboxnode.h"

namespace vexa {

// A text box drawn with a shape shifter whose text shows the edited text.
// The cursor assumes a monospaced font.
class ShapeShifterTextBoxNode : public ShapeShifter, public TextBoxNode {
public:
  ShapeShifterTextBoxNode(SceneNode* parent, std::uint32_t flags,
                          std::uint32_t shapeType,
                          InputProcessor* inputProcessor);

  // setString edits the text; the shape shifter's own only mirrors it.
  using AbstractTextBox::setString;
  using ShapeShifter::globalBounds;

  bool hitTest(const qutils::Vec2& point, bool& inside) const override;
  sf::FloatRect globalBounds() const override;
  void drawSelf(sf::RenderTarget& target, sf::RenderStates states) const override;
  void textChanged() override;
  void updateCursor() override;
  void updateCursorSize() override;

protected:
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
};

} // namespace vexa
