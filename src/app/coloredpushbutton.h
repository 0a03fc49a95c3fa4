#pragma once

#include <vexa/gui/nodes/shapeshifterpushbuttonnode.h>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Glsl.hpp>

#include <cstdint>

namespace pod {

// A push button whose shape changes colour with hover and press, and that
// can stay toggled on (a selected choice, a mode).
class ColoredPushButton : public vexa::ShapeShifterPushButtonNode {
public:
  // Red, green, blue, alpha in [0, 1].
  using Colour = sf::Glsl::Vec4;

  enum ColourMode : std::uint32_t { Automatic = 0, AlwaysHover = 1, AlwaysPressed = 2 };

  // Toggleable.
  ColoredPushButton(vexa::SceneNode* parent, std::uint32_t flags,
                    std::uint32_t shapeType, const Colour& normal,
                    const Colour& hover, const Colour& pressed,
                    const Colour& toggled);
  // Not toggleable; the toggled colour is opaque black.
  ColoredPushButton(vexa::SceneNode* parent, std::uint32_t flags,
                    std::uint32_t shapeType, const Colour& normal,
                    const Colour& hover, const Colour& pressed);

  bool isToggleable() const { return toggleable_; }
  bool isToggledOn() const { return toggleable_ && toggled_; }
  void setToggled(bool toggled);
  void toggle();
  void refreshColour();

  std::uint32_t colourMode() const { return colourMode_; }
  void setColourMode(std::uint32_t mode);

  const Colour& normalColour() const { return normal_; }
  const Colour& hoverColour() const { return hover_; }
  const Colour& pressedColour() const { return pressed_; }
  const Colour& toggledColour() const { return toggledColour_; }

  static sf::Color toColor(const Colour& colour);

  void onHoverEnter() override;
  void onHoverLeave() override;
  void onTouchDown(const qutils::Vec2& point) override;
  void onTouchUp(const qutils::Vec2& point) override;
  // The label's lines sit on the button's middle by the font's capital
  // height, not by the glyphs' bounds: "py" and "Bot" share a row.
  void layoutText() override;

private:
  void fill(const Colour& colour);

  bool toggleable_;
  bool toggled_ = false;
  std::uint32_t colourMode_ = Automatic;
  Colour normal_;
  Colour hover_;
  Colour pressed_;
  Colour toggledColour_;
};

} // namespace pod
