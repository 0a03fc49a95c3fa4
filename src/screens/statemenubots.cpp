// The menu's external bots (vuzuder --bot): one more choice per bot in each
// team column and one more time-attack toggle. Without bots nothing here
// changes the menu.
#include "screens/statemenu.h"

#include "app/guifactory.h"
#include "bots/gamebotbrain.h"

#include <qutils/assert.h>
#include <vexa/core/components.h>
#include <vexa/core/resourcemanager.h>

#include "screens/menustyle.h"

namespace pod {

using namespace menustyle;

namespace {

// The team columns keep their height with bots: the rows close up.
constexpr float kFirstRowY = 465.f;
constexpr float kRowSpacing = 30.f;
constexpr float kPackedFirstRowY = 463.f;
constexpr float kPackedSpan = 210.f;
constexpr float kRowGap = 5.f;
// Time attack with bots: built-in toggles left, bots right of the centre.
constexpr float kToggleColumnOffset = 75.f;

} // namespace

int StateMenu::choiceCount() const {
  return RaceTeamButtons::COUNT + static_cast<int>(bot1Buttons_.size());
}

std::string StateMenu::choiceLabel(int i) const {
  if (i >= RaceTeamButtons::COUNT) {
    const auto k = static_cast<std::size_t>(i - RaceTeamButtons::COUNT);
    Q_ASSERT(k < bots_.size());
    return k < bots_.size() ? bots_[k].name : std::string();
  }
  return brainLabel(i);
}

ColoredPushButton* StateMenu::choiceButton(bool team1, int i) const {
  if (i < 0)
    return nullptr;
  if (i < RaceTeamButtons::COUNT)
    return team1 ? team1Buttons_[i] : team2Buttons_[i];
  const auto k = static_cast<std::size_t>(i - RaceTeamButtons::COUNT);
  const auto& bots = team1 ? bot1Buttons_ : bot2Buttons_;
  return k < bots.size() ? bots[k] : nullptr;
}

bool StateMenu::roomInTimeAttack() const {
  int on = 0;
  for (const ColoredPushButton* t : timeAttackToggles_)
    on += t && t->isToggledOn();
  for (const ColoredPushButton* t : botToggles_)
    on += t->isToggledOn();
  return on < TimeAttackToggles::COUNT;
}

float StateMenu::teamRowY(int i) const {
  if (bot1Buttons_.empty())
    return kFirstRowY + kRowSpacing * static_cast<float>(i);
  return kPackedFirstRowY +
         kPackedSpan / static_cast<float>(choiceCount() - 1) * static_cast<float>(i);
}

void StateMenu::buildBotButtons() {
  bot1Buttons_.clear();
  bot2Buttons_.clear();
  botToggles_.clear();
  bots_ = bots::gameBots();
  const auto& bots = bots_;
  if (bots.empty())
    return;
  auto& factory = dynamic_cast<GuiFactory&>(vexa::guiFactory());
  vexa::SceneNode& root = sceneGraph_.root();
  for (std::size_t k = 0; k < bots.size(); ++k) {
    const int choice = RaceTeamButtons::COUNT + static_cast<int>(k);
    for (int team = 0; team < 2; ++team) {
      ColoredPushButton* button = factory.createTeamToggleButton(&root, team);
      button->setString(bots[k].name);
      if (team == 0)
        button->setCallback([this, choice] { selectTeam1(choice); });
      else
        button->setCallback([this, choice] { selectTeam2(choice); });
      (team == 0 ? bot1Buttons_ : bot2Buttons_).push_back(button);
    }
    ColoredPushButton* toggle = factory.createToggleButton(&root);
    GuiFactory::resize(*toggle, kTeamButtonWidth, 20.f);
    toggle->setString(bots[k].name);
    toggle->setToggled(false);
    toggle->setCallback([this, toggle] {
      if (!toggle->isToggledOn() && !roomInTimeAttack())
        return;
      toggle->toggle();
      refreshRaceButton();
    });
    botToggles_.push_back(toggle);
  }
  // Closer rows need lower buttons, with a clear gap between them; every
  // driver button keeps one size.
  const float spacing = kPackedSpan / static_cast<float>(choiceCount() - 1);
  const float height = std::max(12.f, std::min(20.f, spacing - kRowGap));
  for (int i = 0; i < choiceCount(); ++i)
    for (bool team1 : {true, false})
      GuiFactory::resize(*choiceButton(team1, i), kTeamButtonWidth, height);
  // One text size for a whole column, bots and built-in drivers alike.
  for (bool team1 : {true, false}) {
    std::vector<ColoredPushButton*> column;
    for (int i = 0; i < choiceCount(); ++i)
      column.push_back(choiceButton(team1, i));
    fitLabels(column);
  }
  std::vector<ColoredPushButton*> toggles(timeAttackToggles_.begin(), timeAttackToggles_.end());
  toggles.insert(toggles.end(), botToggles_.begin(), botToggles_.end());
  fitLabels(toggles);
}

void StateMenu::layoutBotButtons(const sf::Vector2f& centre) {
  if (botToggles_.empty())
    return;
  for (std::size_t k = 0; k < bot1Buttons_.size(); ++k) {
    const float y = teamRowY(RaceTeamButtons::COUNT + static_cast<int>(k));
    bot1Buttons_[k]->setPosition(centre.x - kColumnOffset, y);
    bot2Buttons_[k]->setPosition(centre.x + kColumnOffset, y);
  }
  const float firstY = timeAttackToggles_[0]->getPosition().y;
  for (int j = 0; j < TimeAttackToggles::COUNT; ++j)
    timeAttackToggles_[j]->setPosition(centre.x - kToggleColumnOffset,
                                       firstY + kRowSpacing * static_cast<float>(j));
  for (std::size_t k = 0; k < botToggles_.size(); ++k)
    botToggles_[k]->setPosition(centre.x + kToggleColumnOffset,
                                firstY + kRowSpacing * static_cast<float>(k));
}

std::unique_ptr<AbstractBrain> StateMenu::createBotBrain(int k) const {
  const bots::GameBot& bot = bots_.at(static_cast<std::size_t>(k));
  return std::make_unique<bots::GameBotBrain>(bot.name, bot.words);
}

} // namespace pod
