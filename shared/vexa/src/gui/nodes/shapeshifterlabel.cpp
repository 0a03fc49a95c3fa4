#include "vexa/gui/nodes/shapeshifterlabel.h"

#include <SFML/Graphics/Text.hpp>

namespace vexa {

ShapeShifterLabel::ShapeShifterLabel(SceneNode* parent, const sf::Font& font,
                                     const std::string& string,
                                     unsigned characterSize)
    : SceneNode(parent), ShapeShifter(TextFlag, Rectangle) {
  setUp(font, string, characterSize);
}

ShapeShifterLabel::ShapeShifterLabel(SceneNode* parent, const sf::Font& font,
                                     const std::string& string,
                                     unsigned characterSize,
                                     std::uint32_t flags,
                                     std::uint32_t shapeType)
    : SceneNode(parent), ShapeShifter(flags | TextFlag, shapeType) {
  setUp(font, string, characterSize);
}

void ShapeShifterLabel::setUp(const sf::Font& font, const std::string& string,
                              unsigned characterSize) {
  setUpText(font, characterSize, string);
  setAlignment(Center);
  setLayoutMode(FitToContent);
}

sf::FloatRect ShapeShifterLabel::globalBounds() const {
  return ShapeShifter::globalBounds(worldPosition());
}

void ShapeShifterLabel::drawSelf(sf::RenderTarget& target,
                                 sf::RenderStates states) const {
  ShapeShifter::draw(target, states);
}

void ShapeShifterLabel::draw(sf::RenderTarget& target,
                             sf::RenderStates states) const {
  SceneNode::draw(target, states);
}

} // namespace vexa
