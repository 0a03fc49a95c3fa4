#pragma once
// Look of the main menu, shared by its behaviour and its layout files.

#include "app/coloredpushbutton.h"
#include "app/podresourcemanager.h"
#include "screens/statemenu.h"

#include <vexa/core/resourcemanager.h>

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <sfmlutils/origin.h>
#include <sfmlutils/textutils.h>

#include <algorithm>
#include <string>

namespace pod::menustyle {


inline const sf::Color kPanelFill(128, 128, 128, 200);
inline const sf::Color kPanelOutline(100, 100, 100, 255);
inline const sf::Color kTriviaFill(128, 128, 128, 128);

inline constexpr float kColumnOffset = 116.666664f;
inline constexpr float kTeamButtonWidth = 130.f;
inline constexpr float kDescriptionPanelHeight = 310.f;
inline constexpr float kRulesWidth = 496.f;
inline constexpr float kTriviaWidth = 400.f;
inline constexpr float kTriviaHeight = 200.f;
inline constexpr float kTriviaStrip = 30.f;
inline constexpr float kTriviaTextWidth = 390.f;
inline constexpr unsigned kTitleSize = 35;
inline constexpr unsigned kRulesSize = 14;
inline constexpr unsigned kTriviaSize = 13;

inline const char* const kDriverLabels[RaceTeamButtons::COUNT] = {
    "Steering heuristics", "Genetic",           "Predictive genetic",
    "Genetic runners",     "Genetic (separate)", "Gen. two runners",
    "Player and blocker",  "Two players"};

inline const char* const kTimeAttackLabels[TimeAttackToggles::COUNT] = {
    "Steering heuristics", "Genetic algorithm", "Player 1", "Player 2"};

inline const char* const kTimeAttackTeamNames[TimeAttackToggles::COUNT] = {
    "Steering heuristics", "Genetic runner", "Player 1", "Player 2"};

inline bool isKeyboardChoice(int choice) {
  return choice == RaceTeamButtons::PlayerAndBlocker ||
         choice == RaceTeamButtons::TwoPlayers;
}

// A keyboard set serves one person: two players on one team leave no keys
// for a player in the other.
inline bool keyboardConflict(int mine, int other) {
  return (mine == RaceTeamButtons::TwoPlayers && isKeyboardChoice(other)) ||
         (mine == RaceTeamButtons::PlayerAndBlocker &&
          other == RaceTeamButtons::TwoPlayers);
}

inline const sf::Font& mainFont() {
  return vexa::resourceManager().font(FontId::Main);
}

inline void setUpText(sf::Text& text, unsigned size) {
  text.setFont(mainFont());
  text.setCharacterSize(size);
  text.setFillColor(sf::Color::White);
}

inline void wrapAndCentre(sf::Text& text, const std::string& string, float width) {
  if (!sfmlutils::wrapText(text, sf::String(string), width, true))
    text.setString(string);
  sfmlutils::centerOrigin(text);
}

inline void setUpPanel(sf::RectangleShape& panel, const sf::Vector2f& size) {
  panel.setSize(size);
  panel.setFillColor(kPanelFill);
  panel.setOutlineColor(kPanelOutline);
  panel.setOutlineThickness(1.f);
  sfmlutils::centerOrigin(panel);
}

// The largest character size, at most the current one, at which the label
// fits inside its button.
inline unsigned fittingSize(ColoredPushButton& button) {
  const float room = button.shape().getLocalBounds().width - 8.f;
  const unsigned original = button.text().getCharacterSize();
  unsigned size = original;
  while (size > 8 && button.text().getLocalBounds().width > room)
    button.text().setCharacterSize(--size);
  button.text().setCharacterSize(original);
  return size;
}

// Long labels get a smaller font rather than spill out of their buttons; a
// whole column shares one size so that it reads as one list.
template <typename Buttons>
inline void fitLabels(const Buttons& buttons) {
  unsigned size = ~0u;
  for (ColoredPushButton* button : buttons)
    size = std::min(size, fittingSize(*button));
  for (ColoredPushButton* button : buttons) {
    button->text().setCharacterSize(size);
    button->updateLayout();
  }
}

inline float halfWidth(const ColoredPushButton& button) {
  return button.globalBounds().width / 2.f;
}

} // namespace pod::menustyle
