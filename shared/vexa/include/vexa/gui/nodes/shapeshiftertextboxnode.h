#pragma once

#include "vexa/gui/drawables/shapeshifter.h"
#include "vexa/gui/nodes/textboxnode.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/String.hpp>

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

  // Shown in colour instead of an empty text, so that the box says what it
  // is for.
  void setPlaceholder(const sf::String& placeholder, const sf::Color& colour);
  const sf::String& placeholder() const { return placeholder_; }

protected:
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

private:
  sf::String placeholder_;
  sf::Color placeholderColour_ = sf::Color(128, 128, 128);
};

} // namespace vexa
