#include "vexa/gui/nodes/shapeshiftertextboxnode.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Text.hpp>

namespace vexa {

namespace {

// Global bounds of a throw-away text in the font and size of model.
sf::FloatRect measure(const sf::Text& model, const sf::String& string) {
  sf::Text probe;
  if (const sf::Font* font = model.getFont())
    probe.setFont(*font);
  probe.setCharacterSize(model.getCharacterSize());
  probe.setString(string);
  return probe.getGlobalBounds();
}

} // namespace

ShapeShifterTextBoxNode::ShapeShifterTextBoxNode(SceneNode* parent,
                                                 std::uint32_t flags,
                                                 std::uint32_t shapeType,
                                                 InputProcessor* inputProcessor)
    : ShapeShifter(flags, shapeType), TextBoxNode(parent, inputProcessor) {}

bool ShapeShifterTextBoxNode::hitTest(const qutils::Vec2& point,
                                      bool& inside) const {
  inside = globalBounds().contains(point.x, point.y);
  return true;
}

sf::FloatRect ShapeShifterTextBoxNode::globalBounds() const {
  return ShapeShifter::globalBounds(worldPosition());
}

void ShapeShifterTextBoxNode::drawSelf(sf::RenderTarget& target,
                                       sf::RenderStates states) const {
  ShapeShifter::draw(target, states);
  if (hasText() && !placeholder_.isEmpty() && string().isEmpty()) {
    // Laid out where the text would be: same position, same anchor.
    sf::Text shown = text();
    shown.setString(placeholder_);
    shown.setFillColor(placeholderColour_);
    const sf::FloatRect b = shown.getLocalBounds();
    const float x = textAlignment() == Left    ? b.left
                    : textAlignment() == Right ? b.left + b.width
                                               : b.left + b.width / 2.f;
    shown.setOrigin(x, b.top + b.height / 2.f);
    target.draw(shown, states);
  }
  TextBoxNode::drawSelf(target, states);
}

void ShapeShifterTextBoxNode::setPlaceholder(const sf::String& placeholder,
                                             const sf::Color& colour) {
  placeholder_ = placeholder;
  placeholderColour_ = colour;
}

void ShapeShifterTextBoxNode::draw(sf::RenderTarget& target,
                                   sf::RenderStates states) const {
  SceneNode::draw(target, states);
}

void ShapeShifterTextBoxNode::textChanged() {
  if (hasText()) {
    text().setString(string());
    onTextChanged();
  }
  TextBoxNode::textChanged();
}

void ShapeShifterTextBoxNode::updateCursor() {
  if (!hasText())
    return;
  const sf::Text& shown = text();
  const float advance = measure(shown, " ").width;
  const float x = static_cast<float>(cursor()) * advance +
                  shown.getGlobalBounds().left;
  cursorRect().setPosition(x, shown.getPosition().y);
}

void ShapeShifterTextBoxNode::updateCursorSize() {
  if (!hasText())
    return;
  const float h = measure(text(), "l").height;
  cursorRect().setSize({1.f, 1.5f * h});
  cursorRect().setOrigin(0.5f, 0.75f * h);
}

} // namespace vexa
