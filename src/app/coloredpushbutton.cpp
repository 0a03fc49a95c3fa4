#include "app/coloredpushbutton.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Shape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <qutils/assert.h>

#include <algorithm>
#include <cmath>

namespace pod {

namespace {

sf::Uint8 channel(float v) {
  return static_cast<sf::Uint8>(std::lround(std::clamp(v, 0.f, 1.f) * 255.f));
}

} // namespace

ColoredPushButton::ColoredPushButton(vexa::SceneNode* parent, std::uint32_t flags,
                                     std::uint32_t shapeType, const Colour& normal,
                                     const Colour& hover, const Colour& pressed,
                                     const Colour& toggled)
    : vexa::ShapeShifterPushButtonNode(parent, flags, shapeType),
      toggleable_(true), normal_(normal), hover_(hover), pressed_(pressed),
      toggledColour_(toggled) {
  fill(normal_);
}

ColoredPushButton::ColoredPushButton(vexa::SceneNode* parent, std::uint32_t flags,
                                     std::uint32_t shapeType, const Colour& normal,
                                     const Colour& hover, const Colour& pressed)
    : vexa::ShapeShifterPushButtonNode(parent, flags, shapeType),
      toggleable_(false), normal_(normal), hover_(hover), pressed_(pressed),
      toggledColour_(0.f, 0.f, 0.f, 1.f) {
  fill(normal_);
}

sf::Color ColoredPushButton::toColor(const Colour& colour) {
  return sf::Color(channel(colour.x), channel(colour.y), channel(colour.z),
                   channel(colour.w));
}

void ColoredPushButton::fill(const Colour& colour) {
  Q_ASSERT(hasShape());
  if (hasShape())
    shape().setFillColor(toColor(colour));
  // White reads poorly on the light fills (orange, light blue): dark text there.
  const float luminance = 0.2126f * colour.x + 0.7152f * colour.y + 0.0722f * colour.z;
  if (hasText())
    text().setFillColor(luminance > 0.6f ? sf::Color(20, 24, 32) : sf::Color::White);
}

void ColoredPushButton::setToggled(bool toggled) {
  toggled_ = toggled;
  refreshColour();
}

void ColoredPushButton::toggle() {
  toggled_ = !toggled_;
  refreshColour();
}

void ColoredPushButton::refreshColour() {
  switch (colourMode_) {
  case AlwaysHover:
    fill(hover_);
    break;
  case AlwaysPressed:
    fill(pressed_);
    break;
  default:
    fill(toggled_ ? toggledColour_ : normal_);
    break;
  }
}

void ColoredPushButton::setColourMode(std::uint32_t mode) {
  colourMode_ = mode;
  refreshColour();
}

void ColoredPushButton::onHoverEnter() {
  if (!toggled_)
    fill(hover_);
  vexa::ShapeShifterPushButtonNode::onHoverEnter();
}

void ColoredPushButton::onHoverLeave() {
  if (!toggled_)
    fill(normal_);
  vexa::ShapeShifterPushButtonNode::onHoverLeave();
}

void ColoredPushButton::onTouchDown(const qutils::Vec2& point) {
  fill(pressed_);
  vexa::ShapeShifterPushButtonNode::onTouchDown(point);
}

void ColoredPushButton::onTouchUp(const qutils::Vec2& point) {
  // Before the callback, which may toggle the button and refresh again.
  fill(toggled_ ? toggledColour_ : normal_);
  vexa::ShapeShifterPushButtonNode::onTouchUp(point);
}

void ColoredPushButton::layoutText() {
  vexa::ShapeShifterPushButtonNode::layoutText();
  if (!hasText() || layoutMode() != FixedSize)
    return;
  sf::Text& label = text();
  const sf::Font* font = label.getFont();
  const std::string string = label.getString().toAnsiString();
  if (!font || string.empty())
    return;
  // A text's first baseline lies one character size below its top.
  const unsigned size = label.getCharacterSize();
  const float baseline = static_cast<float>(size);
  const float capTop = baseline + font->getGlyph(U'X', size, false).bounds.top;
  const float lines = static_cast<float>(std::count(string.begin(), string.end(), '\n'));
  const float lastBaseline = baseline + lines * font->getLineSpacing(size);
  label.setOrigin(label.getOrigin().x, std::round((capTop + lastBaseline) / 2.f));
}

} // namespace pod
