#include "app/guifactory.h"

#include "app/podresourcemanager.h"

#include <vexa/core/components.h>
#include <vexa/core/resourcemanager.h>

#include <SFML/Graphics/Shape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <qutils/assert.h>

namespace pod {

const sf::Color GuiFactory::cDarkGrey(70, 70, 70, 255);
const sf::Color GuiFactory::cGrey(85, 85, 85, 255);
const sf::Color GuiFactory::cOrange(254, 175, 73, 255);

namespace {

constexpr std::uint32_t kButtonFlags =
    vexa::ShapeShifter::TextFlag | vexa::ShapeShifter::ShapeFlag;
const qutils::Vec2 kMargin(5.f, 5.f);

// Team 1 flies blue, team 2 red, as their ships do.
const ButtonColours kTeamColours[2] = {
    {sf::Color(38, 62, 96), sf::Color(52, 92, 140), sf::Color(120, 190, 255),
     sf::Color(62, 132, 214)},
    {sf::Color(96, 40, 40), sf::Color(140, 58, 52), sf::Color(255, 140, 110),
     sf::Color(212, 78, 60)},
};

using Colour = ColoredPushButton::Colour;

} // namespace

const ButtonColours& GuiFactory::teamColours(int team) {
  Q_ASSERT(team == 0 || team == 1);
  return kTeamColours[team == 1 ? 1 : 0];
}

ColoredPushButton* GuiFactory::attach(vexa::SceneNode* parent,
                                      std::unique_ptr<ColoredPushButton> button,
                                      float width, float height,
                                      unsigned textSize) const {
  Q_ASSERT(parent);
  ColoredPushButton* raw = button.get();
  parent->attachChild(std::move(button));
  raw->setLayoutMode(vexa::ShapeShifter::FixedSize);
  raw->setFixedSize({width, height});
  raw->setTextAlignment(vexa::ShapeShifter::Center);
  raw->setMargin(kMargin);
  raw->text().setFillColor(sf::Color::White);
  raw->text().setFont(vexa::resourceManager().font(FontId::Main));
  raw->text().setCharacterSize(textSize);
  raw->updateLayout();
  return raw;
}

ColoredPushButton* GuiFactory::createWideButton(vexa::SceneNode* parent) const {
  auto button = std::make_unique<ColoredPushButton>(
      parent, kButtonFlags, vexa::ShapeShifter::Rectangle, Colour(cDarkGrey),
      Colour(cGrey), Colour(cOrange));
  return attach(parent, std::move(button), 300.f, 20.f, cTextSize);
}

ColoredPushButton* GuiFactory::createButton(vexa::SceneNode* parent) const {
  auto button = std::make_unique<ColoredPushButton>(
      parent, kButtonFlags, vexa::ShapeShifter::Rectangle, Colour(cDarkGrey),
      Colour(cGrey), Colour(cOrange));
  return attach(parent, std::move(button), 200.f, 20.f, cTextSize);
}

ColoredPushButton* GuiFactory::createBigButton(vexa::SceneNode* parent) const {
  auto button = std::make_unique<ColoredPushButton>(
      parent, kButtonFlags, vexa::ShapeShifter::Rectangle, Colour(cDarkGrey),
      Colour(cGrey), Colour(cOrange));
  button->shape().setOutlineColor(sf::Color::White);
  button->shape().setOutlineThickness(1.f);
  return attach(parent, std::move(button), 200.f, 40.f, cBigTextSize);
}

ColoredPushButton* GuiFactory::createToggleButton(vexa::SceneNode* parent) const {
  auto button = std::make_unique<ColoredPushButton>(
      parent, kButtonFlags, vexa::ShapeShifter::Rectangle, Colour(cDarkGrey),
      Colour(cGrey), Colour(cOrange), Colour(cOrange));
  return attach(parent, std::move(button), 50.f, 20.f, cTextSize);
}

ColoredPushButton* GuiFactory::createTeamToggleButton(vexa::SceneNode* parent,
                                                      int team) const {
  const ButtonColours& colours = teamColours(team);
  auto button = std::make_unique<ColoredPushButton>(
      parent, kButtonFlags, vexa::ShapeShifter::Rectangle, Colour(colours.normal),
      Colour(colours.hover), Colour(colours.pressed), Colour(colours.toggled));
  return attach(parent, std::move(button), 200.f, 20.f, cTextSize);
}

vexa::ShapeShifterLabel* GuiFactory::createLabel(vexa::SceneNode* parent) const {
  Q_ASSERT(parent);
  auto label = std::make_unique<vexa::ShapeShifterLabel>(
      parent, vexa::resourceManager().font(FontId::Main), "", cTextSize,
      vexa::ShapeShifter::ShapeFlag, vexa::ShapeShifter::Rectangle);
  vexa::ShapeShifterLabel* raw = label.get();
  parent->attachChild(std::move(label));
  raw->shape().setFillColor(sf::Color(70, 70, 70, 128));
  raw->setFixedSize({150.f, 20.f});
  raw->setTextAlignment(vexa::ShapeShifter::Center);
  raw->setMargin(kMargin);
  raw->text().setFillColor(sf::Color::White);
  raw->updateLayout();
  return raw;
}

vexa::ShapeShifterTextBoxNode* GuiFactory::createTextBox(vexa::SceneNode* parent) const {
  Q_ASSERT(parent);
  auto box = std::make_unique<vexa::ShapeShifterTextBoxNode>(
      parent, kButtonFlags, vexa::ShapeShifter::Rectangle,
      vexa::components().inputProcessor());
  vexa::ShapeShifterTextBoxNode* raw = box.get();
  parent->attachChild(std::move(box));
  // A frame inside the rectangle, so that the box shows on a black screen
  // and its bounds stay those of the rectangle; text from the left, as typed.
  raw->shape().setFillColor(sf::Color(20, 20, 20));
  raw->shape().setOutlineColor(sf::Color(160, 160, 160));
  raw->shape().setOutlineThickness(-1.f);
  raw->setLayoutMode(vexa::ShapeShifter::FixedSize);
  raw->setFixedSize({200.f, 20.f});
  raw->setTextAlignment(vexa::ShapeShifter::Left);
  raw->setMargin(kMargin);
  raw->text().setFillColor(sf::Color::White);
  raw->text().setFont(vexa::resourceManager().font(FontId::Main));
  raw->text().setCharacterSize(cTextSize);
  raw->updateCursorSize();
  raw->updateLayout();
  return raw;
}

void GuiFactory::resize(ColoredPushButton& button, float width, float height) {
  button.setFixedSize({width, height});
}

} // namespace pod
