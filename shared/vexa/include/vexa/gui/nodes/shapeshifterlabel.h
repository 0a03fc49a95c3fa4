#pragma once

#include "vexa/gui/drawables/shapeshifter.h"
#include "vexa/gui/nodes/scenenode.h"

#include <string>

namespace sf {
class Font;
}

namespace vexa {

// A text, optionally on a shape or sprite, that takes no part in pointer
// tracking. Starts centred and fitted to its content.
class ShapeShifterLabel : public SceneNode, public ShapeShifter {
public:
  ShapeShifterLabel(SceneNode* parent, const sf::Font& font,
                    const std::string& string, unsigned characterSize);
  // The text is always created, whatever the flags.
  ShapeShifterLabel(SceneNode* parent, const sf::Font& font,
                    const std::string& string, unsigned characterSize,
                    std::uint32_t flags, std::uint32_t shapeType);

  using ShapeShifter::globalBounds;
  sf::FloatRect globalBounds() const override;
  void drawSelf(sf::RenderTarget& target, sf::RenderStates states) const override;

protected:
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

private:
  void setUp(const sf::Font& font, const std::string& string,
             unsigned characterSize);
};

} // namespace vexa
