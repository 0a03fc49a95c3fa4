#pragma once

#include "app/coloredpushbutton.h"

#include <vexa/gui/guifactory.h>
#include <vexa/gui/nodes/shapeshifterlabel.h>
#include <vexa/gui/nodes/shapeshiftertextboxnode.h>

#include <SFML/Graphics/Color.hpp>

namespace pod {

// The four colours of a coloured push button.
struct ButtonColours {
  sf::Color normal;
  sf::Color hover;
  sf::Color pressed;
  sf::Color toggled;
};

// Every widget of the game in its house style: font 0, white text, margin
// (5, 5), a rectangle of fixed size with centred text.
class GuiFactory : public vexa::GuiFactory {
public:
  static const sf::Color cDarkGrey;
  static const sf::Color cGrey;
  static const sf::Color cOrange;

  static constexpr unsigned cTextSize = 12;
  static constexpr unsigned cBigTextSize = 25;

  // The colours of the team buttons; team 0 or 1.
  static const ButtonColours& teamColours(int team);

  ColoredPushButton* createWideButton(vexa::SceneNode* parent) const override;
  ColoredPushButton* createButton(vexa::SceneNode* parent) const override;
  ColoredPushButton* createBigButton(vexa::SceneNode* parent) const override;
  ColoredPushButton* createToggleButton(vexa::SceneNode* parent) const override;
  ColoredPushButton* createTeamToggleButton(vexa::SceneNode* parent, int team) const;
  vexa::ShapeShifterLabel* createLabel(vexa::SceneNode* parent) const override;
  vexa::ShapeShifterTextBoxNode* createTextBox(vexa::SceneNode* parent) const override;

  // Resizes a button made by this factory, keeping its text centred.
  static void resize(ColoredPushButton& button, float width, float height);

private:
  ColoredPushButton* attach(vexa::SceneNode* parent,
                            std::unique_ptr<ColoredPushButton> button,
                            float width, float height, unsigned textSize) const;
};

} // namespace pod
