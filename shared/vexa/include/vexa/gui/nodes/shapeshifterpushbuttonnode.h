#pragma once

#include "vexa/gui/drawables/shapeshifter.h"
#include "vexa/gui/nodes/pushbuttonnode.h"

namespace vexa {

// A push button drawn and hit-tested through a shape shifter.
class ShapeShifterPushButtonNode : public PushButtonNode, public ShapeShifter {
public:
  ShapeShifterPushButtonNode(SceneNode* parent, std::uint32_t flags,
                             std::uint32_t shapeType);

  using ShapeShifter::globalBounds;
  sf::FloatRect globalBounds() const override;
  void drawSelf(sf::RenderTarget& target, sf::RenderStates states) const override;
  bool hitTest(const qutils::Vec2& point, bool& inside) const override;
  void onHoverEnter() override;
  void onHoverLeave() override;
  void onTouchDown(const qutils::Vec2& point) override;
  void onTouchCancel() override;
  void onTouchUp(const qutils::Vec2& point) override;

protected:
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
};

} // namespace vexa
