#include "screens/statemenu.h"

#include "app/coloredpushbutton.h"
#include "app/guifactory.h"
#include "app/inputbuttonstates.h"
#include "app/podpathmanager.h"
#include "app/podresourcemanager.h"
#include "app/podstatemanager.h"
#include "app/raceconfiguration.h"
#include "app/urlopener.h"
#include "brains/driverregistry.h"
#include "brains/playerbrain.h"
#include "screens/menutexts.h"

#include <vexa/core/application.h>
#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/pathmanager.h>
#include <vexa/core/resourcemanager.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <qutils/assert.h>
#include <sfmlutils/origin.h>
#include <sfmlutils/textutils.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>

namespace pod {

namespace {

const sf::Color kPanelFill(128, 128, 128, 200);
const sf::Color kPanelOutline(100, 100, 100, 255);
const sf::Color kTriviaFill(128, 128, 128, 128);

constexpr float kColumnOffset = 116.666664f;
constexpr float kTeamButtonWidth = 130.f;
constexpr float kDescriptionPanelHeight = 310.f;
constexpr float kRulesWidth = 496.f;
constexpr float kTriviaWidth = 400.f;
constexpr float kTriviaHeight = 200.f;
constexpr float kTriviaStrip = 30.f;
constexpr float kTriviaTextWidth = 390.f;
constexpr unsigned kTitleSize = 35;
constexpr unsigned kRulesSize = 14;
constexpr unsigned kTriviaSize = 13;

const char* const kDriverLabels[RaceTeamButtons::COUNT] = {
    "Steering heuristics", "Genetic",           "Predictive genetic",
    "Genetic runners",     "Genetic (separate)", "Gen. two runners",
    "Player and blocker",  "Two players"};

const char* const kTimeAttackLabels[TimeAttackToggles::COUNT] = {
    "Steering heuristics", "Genetic algorithm", "Player 1", "Player 2"};

const char* const kTimeAttackTeamNames[TimeAttackToggles::COUNT] = {
    "Steering heuristics", "Genetic runner", "Player 1", "Player 2"};

bool isKeyboardChoice(int choice) {
  return choice == RaceTeamButtons::PlayerAndBlocker ||
         choice == RaceTeamButtons::TwoPlayers;
}

// A keyboard set serves one person: two players on one team leave no keys
// for a player in the other.
bool keyboardConflict(int mine, int other) {
  return (mine == RaceTeamButtons::TwoPlayers && isKeyboardChoice(other)) ||
         (mine == RaceTeamButtons::PlayerAndBlocker &&
          other == RaceTeamButtons::TwoPlayers);
}

const sf::Font& mainFont() {
  return vexa::resourceManager().font(FontId::Main);
}

void setUpText(sf::Text& text, unsigned size) {
  text.setFont(mainFont());
  text.setCharacterSize(size);
  text.setFillColor(sf::Color::White);
}

void wrapAndCentre(sf::Text& text, const std::string& string, float width) {
  if (!sfmlutils::wrapText(text, sf::String(string), width, true))
    text.setString(string);
  sfmlutils::centerOrigin(text);
}

void setUpPanel(sf::RectangleShape& panel, const sf::Vector2f& size) {
  panel.setSize(size);
  panel.setFillColor(kPanelFill);
  panel.setOutlineColor(kPanelOutline);
  panel.setOutlineThickness(1.f);
  sfmlutils::centerOrigin(panel);
}

// The largest character size, at most the current one, at which the label
// fits inside its button.
unsigned fittingSize(ColoredPushButton& button) {
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
void fitLabels(const Buttons& buttons) {
  unsigned size = ~0u;
  for (ColoredPushButton* button : buttons)
    size = std::min(size, fittingSize(*button));
  for (ColoredPushButton* button : buttons) {
    button->text().setCharacterSize(size);
    button->updateLayout();
  }
}

float halfWidth(const ColoredPushButton& button) {
  return button.globalBounds().width / 2.f;
}

} // namespace

StateMenu::StateMenu() : vexa::AbstractState(cStateId) {}

StateMenu::~StateMenu() = default;

bool StateMenu::cleanup() {
  sceneGraph_.clear();
  raceButton_ = swapButton_ = quitButton_ = nullptr;
  timeAttackButton_ = raceModeButton_ = vfxButton_ = nullptr;
  artCreditButton_ = codeCreditButton_ = moreTriviaButton_ = nullptr;
  timeAttackToggles_.fill(nullptr);
  team1Buttons_.fill(nullptr);
  team2Buttons_.fill(nullptr);
  trackButtons_.clear();
  return true;
}

void StateMenu::reserved() {}

bool StateMenu::init() {
  loadTracks();
  buildButtons();
  if (!trackButtons_.empty())
    selectTrack(0);
  raceModeButton_->setToggled(true);
  timeAttackButton_->setToggled(false);

  setUpTexts();
  setUpSprites();

  selectTeam1(team1Choice_);
  selectTeam2(team2Choice_);
  setRaceMode();
  updateLayout();
  return true;
}

void StateMenu::loadTracks() {
  tracks_.clear();
  std::string folder = vexa::pathManager().resourcesPath() + "tracks/";
  if (auto* paths = dynamic_cast<PodPathManager*>(&vexa::pathManager()))
    folder = paths->tracksPath();

  std::error_code error;
  if (!std::filesystem::is_directory(folder, error))
    return;

  // Sorted by name: the raw listing order changes from one file system to
  // the next, and the track row should not.
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());

  for (const std::filesystem::path& file : files) {
    Track track;
    if (track.load(file.string())) {
      std::cout << "Loaded track " << file.filename().string() << std::endl;
      tracks_.push_back(std::move(track));
    } else {
      std::cout << "Failed to load track " << file.filename().string()
                << std::endl;
    }
  }
}

void StateMenu::buildButtons() {
  auto& factory = dynamic_cast<GuiFactory&>(vexa::guiFactory());
  vexa::SceneNode& root = sceneGraph_.root();

  raceButton_ = factory.createBigButton(&root);
  raceButton_->setString("RACE !");
  raceButton_->setCallback([this] { launchRace(); });

  swapButton_ = factory.createButton(&root);
  GuiFactory::resize(*swapButton_, 50.f, 20.f);
  swapButton_->setString("Swap");
  swapButton_->setCallback([this] { swapTeams(); });

  quitButton_ = factory.createButton(&root);
  quitButton_->setString("Quit");
  quitButton_->setCallback([] { vexa::application().close(); });

  timeAttackButton_ = factory.createToggleButton(&root);
  GuiFactory::resize(*timeAttackButton_, 200.f, 20.f);
  timeAttackButton_->setString("Time Attack");
  timeAttackButton_->setCallback([this] { setTimeAttackMode(); });

  raceModeButton_ = factory.createToggleButton(&root);
  GuiFactory::resize(*raceModeButton_, 200.f, 20.f);
  raceModeButton_->setString("Race");
  raceModeButton_->setCallback([this] {
    setRaceMode();
    refreshRaceButton();
  });

  vfxButton_ = factory.createToggleButton(&root);
  GuiFactory::resize(*vfxButton_, 200.f, 20.f);
  vfxButton_->setString("VFX Breakdown");
  vfxButton_->setCallback([this] {
    if (PodStateManager* states = podStateManager())
      states->goToVFX();
  });

  for (int i = 0; i < RaceTeamButtons::COUNT; ++i) {
    team1Buttons_[i] = factory.createTeamToggleButton(&root, 0);
    GuiFactory::resize(*team1Buttons_[i], kTeamButtonWidth, 20.f);
    team1Buttons_[i]->setString(brainLabel(i));
    team1Buttons_[i]->setCallback([this, i] { selectTeam1(i); });

    team2Buttons_[i] = factory.createTeamToggleButton(&root, 1);
    GuiFactory::resize(*team2Buttons_[i], kTeamButtonWidth, 20.f);
    team2Buttons_[i]->setString(brainLabel(i));
    team2Buttons_[i]->setCallback([this, i] { selectTeam2(i); });
  }

  for (int j = 0; j < TimeAttackToggles::COUNT; ++j) {
    timeAttackToggles_[j] = factory.createToggleButton(&root);
    GuiFactory::resize(*timeAttackToggles_[j], kTeamButtonWidth, 20.f);
    timeAttackToggles_[j]->setString(timeAttackLabel(j));
    timeAttackToggles_[j]->setToggled(true);
    timeAttackToggles_[j]->setCallback([this, j] { toggleTimeAttackDriver(j); });
  }

  fitLabels(team1Buttons_);
  fitLabels(team2Buttons_);
  fitLabels(timeAttackToggles_);

  // Names longer than the standard 50 pixels widen every track button alike,
  // so that the row stays regular.
  float trackWidth = 50.f;
  trackButtons_.clear();
  for (std::size_t k = 0; k < tracks_.size(); ++k) {
    ColoredPushButton* button = factory.createToggleButton(&root);
    button->setString(tracks_[k].name);
    trackWidth = std::max(trackWidth, button->text().getLocalBounds().width + 14.f);
    const int index = static_cast<int>(k);
    button->setCallback([this, index] { selectTrack(index); });
    trackButtons_.push_back(button);
  }
  for (ColoredPushButton* button : trackButtons_)
    GuiFactory::resize(*button, trackWidth, 20.f);

  const auto credit = [&factory, &root](const std::string& label,
                                        const std::string& page) {
    ColoredPushButton* button = factory.createWideButton(&root);
    button->setString(label);
    const float width = button->text().getLocalBounds().width + 20.f;
    if (width > 300.f)
      GuiFactory::resize(*button, width, 20.f);
    button->setCallback([page] {
      if (!openAddress(fileAddress(page)))
        std::cerr << "Could not open " << page << std::endl;
    });
    return button;
  };
  artCreditButton_ = credit("Art by the Vuzuder UR team", "docs/ART.md");
  codeCreditButton_ =
      credit("Programming and AI design by the Vuzuder UR team", "README.md");

  moreTriviaButton_ = factory.createToggleButton(&root);
  GuiFactory::resize(*moreTriviaButton_, 100.f, 20.f);
  moreTriviaButton_->setString("More trivia !");
  moreTriviaButton_->setCallback([this] { nextTrivia(); });
}

void StateMenu::setUpTexts() {
  const std::pair<sf::Text*, const char*> titles[] = {
      {&gameModeTitle_, "GAME MODE"}, {&teamsTitle_, "TEAMS"}, {&tracksTitle_, "TRACKS"}};
  for (const auto& [text, string] : titles) {
    setUpText(*text, kTitleSize);
    text->setOutlineColor(sf::Color::Black);
    text->setOutlineThickness(2.f);
    text->setString(string);
    sfmlutils::centerOrigin(*text);
  }

  setUpText(noTrackText_, kRulesSize);
  noTrackText_.setString("No track found in " +
                         vexa::pathManager().resourcesPath() + "tracks/");
  noTrackText_.setOutlineColor(sf::Color::Black);
  noTrackText_.setOutlineThickness(1.f);
  sfmlutils::centerOrigin(noTrackText_);

  setUpPanel(modePanel_, {506.f, 90.f});
  setUpText(timeAttackRules_, kRulesSize);
  wrapAndCentre(timeAttackRules_, timeAttackRulesText(), kRulesWidth);
  raceRules_ = timeAttackRules_;
  wrapAndCentre(raceRules_, raceRulesText(), kRulesWidth);
  team1Description_ = timeAttackRules_;
  team1Description_.setString("");
  team2Description_ = team1Description_;

  descriptionPanel_.setFillColor(kPanelFill);
  descriptionPanel_.setOutlineColor(kPanelOutline);
  descriptionPanel_.setOutlineThickness(1.f);
  team1Marker_.setFillColor(kPanelOutline);
  team2Marker_.setFillColor(kPanelOutline);

  setUpPanel(timeAttackPanel_, {800.f, 60.f});
  setUpText(timeAttackText_, kRulesSize);
  wrapAndCentre(timeAttackText_, timeAttackExplanationText(), 790.f);

  triviaPanel_.setSize({kTriviaWidth, kTriviaHeight});
  triviaPanel_.setFillColor(kTriviaFill);
  sfmlutils::centerOrigin(triviaPanel_);
  setUpText(triviaLabel_, 20);
  triviaLabel_.setOutlineColor(sf::Color::Black);
  triviaLabel_.setOutlineThickness(1.f);
  triviaLabel_.setString("T\nR\nI\nV\nI\nA");
  sfmlutils::centerOrigin(triviaLabel_);
  setUpText(triviaText_, kTriviaSize);

  trivia_.clear();
  for (const std::string& entry : triviaEntries())
    trivia_.push_back(entry);
  nextTrivia();
}

void StateMenu::setUpSprites() {
  auto& resources = vexa::resourceManager();
  logo_.setTexture(resources.texture(TextureId::Logo), true);
  sfmlutils::topCenterOrigin(logo_);
  fitSprite(logo_, 900.f, 240.f);

  background_.setTexture(resources.texture(PodResourceManager::themeTextureId(
                             1, ThemeTexture::Background)),
                         true);
  sfmlutils::centerOrigin(background_);

  const std::pair<sf::Sprite*, std::uint32_t> logos[] = {
      {&logoCpp_, TextureId::LogoCpp},
      {&logoSfml_, TextureId::LogoSfml},
      {&logoTarvok_, TextureId::LogoTarvok}};
  for (const auto& [sprite, id] : logos) {
    sprite->setTexture(resources.texture(id), true);
    sfmlutils::centerOrigin(*sprite);
    fitSprite(*sprite, 110.f, 70.f);
  }
}

// Scales a sprite down (never up) to fit the box.
void StateMenu::fitSprite(sf::Sprite& sprite, float maxWidth, float maxHeight) {
  const sf::FloatRect bounds = sprite.getLocalBounds();
  if (bounds.width <= 0.f || bounds.height <= 0.f)
    return;
  const float scale =
      std::min({1.f, maxWidth / bounds.width, maxHeight / bounds.height});
  sprite.setScale(scale, scale);
}

ColoredPushButton* StateMenu::team1Button(int i) const {
  Q_ASSERT(i >= 0 && i < (int)RaceTeamButtons::COUNT);
  return team1Buttons_[i];
}

ColoredPushButton* StateMenu::team2Button(int i) const {
  Q_ASSERT(i >= 0 && i < (int)RaceTeamButtons::COUNT);
  return team2Buttons_[i];
}

ColoredPushButton* StateMenu::timeAttackToggle(int j) const {
  Q_ASSERT(j >= 0 && j < (int)TimeAttackToggles::COUNT);
  return timeAttackToggles_[j];
}

ColoredPushButton* StateMenu::trackButton(int k) const {
  Q_ASSERT(k >= 0 && k < (int)trackButtons_.size());
  return trackButtons_[k];
}

std::string StateMenu::brainLabel(int i) {
  Q_ASSERT(i >= 0 && i < (int)RaceTeamButtons::COUNT);
  return (i >= 0 && i < RaceTeamButtons::COUNT) ? kDriverLabels[i] : "";
}

std::string StateMenu::timeAttackLabel(int j) {
  Q_ASSERT(j >= 0 && j < (int)TimeAttackToggles::COUNT);
  return (j >= 0 && j < TimeAttackToggles::COUNT) ? kTimeAttackLabels[j] : "";
}

std::string StateMenu::timeAttackTeamName(int j) {
  Q_ASSERT(j >= 0 && j < (int)TimeAttackToggles::COUNT);
  return (j >= 0 && j < TimeAttackToggles::COUNT) ? kTimeAttackTeamNames[j] : "";
}

void StateMenu::selectTeam1(int i) {
  Q_ASSERT(i >= -1 && i < (int)RaceTeamButtons::COUNT);
  team1Choice_ = i;
  for (int k = 0; k < RaceTeamButtons::COUNT; ++k) {
    if (team1Buttons_[k])
      team1Buttons_[k]->setToggled(k == i);
  }
  if (i != -1) {
    if (keyboardConflict(i, team2Choice_))
      selectTeam2(RaceTeamButtons::Steering);
    describe(team1Description_, i, true);
    placeMarker(true);
  }
  refreshRaceButton();
}

void StateMenu::selectTeam2(int i) {
  Q_ASSERT(i >= -1 && i < (int)RaceTeamButtons::COUNT);
  team2Choice_ = i;
  for (int k = 0; k < RaceTeamButtons::COUNT; ++k) {
    if (team2Buttons_[k])
      team2Buttons_[k]->setToggled(k == i);
  }
  if (i != -1) {
    if (keyboardConflict(i, team1Choice_))
      selectTeam1(RaceTeamButtons::Steering);
    describe(team2Description_, i, false);
    placeMarker(false);
  }
  refreshRaceButton();
}

void StateMenu::swapTeams() {
  const int t = team1Choice_;
  selectTeam1(team2Choice_);
  selectTeam2(t);
}

void StateMenu::selectTrack(int k) {
  Q_ASSERT(k >= 0 && k < (int)tracks_.size());
  if (k < 0 || k >= static_cast<int>(tracks_.size()))
    return;
  selectedTrack_ = k;
  for (std::size_t n = 0; n < trackButtons_.size(); ++n)
    trackButtons_[n]->setToggled(static_cast<int>(n) == k);
}

void StateMenu::setRaceMode() {
  timeAttack_ = false;
  raceModeButton_->setToggled(true);
  timeAttackButton_->setToggled(false);
  const auto show = [](ColoredPushButton* button, bool shown) {
    button->setVisible(shown);
    button->setEnabled(shown);
  };
  show(swapButton_, true);
  for (int i = 0; i < RaceTeamButtons::COUNT; ++i) {
    show(team1Buttons_[i], true);
    show(team2Buttons_[i], true);
  }
  for (ColoredPushButton* toggle : timeAttackToggles_)
    show(toggle, false);
}

void StateMenu::setTimeAttackMode() {
  timeAttack_ = true;
  raceModeButton_->setToggled(false);
  timeAttackButton_->setToggled(true);
  const auto show = [](ColoredPushButton* button, bool shown) {
    button->setVisible(shown);
    button->setEnabled(shown);
  };
  show(swapButton_, false);
  for (int i = 0; i < RaceTeamButtons::COUNT; ++i) {
    show(team1Buttons_[i], false);
    show(team2Buttons_[i], false);
  }
  for (ColoredPushButton* toggle : timeAttackToggles_)
    show(toggle, true);
  refreshRaceButton();
}

void StateMenu::toggleTimeAttackDriver(int j) {
  timeAttackToggle(j)->toggle();
  refreshRaceButton();
}

bool StateMenu::canRace() const {
  if (tracks_.empty())
    return false;
  if (timeAttack_) {
    return std::any_of(timeAttackToggles_.begin(), timeAttackToggles_.end(),
                       [](const ColoredPushButton* t) { return t && t->isToggledOn(); });
  }
  return team1Choice_ != -1 && team2Choice_ != -1;
}

void StateMenu::refreshRaceButton() {
  if (!raceButton_)
    return;
  const bool shown = canRace();
  raceButton_->setVisible(shown);
  raceButton_->setEnabled(shown);
}

std::unique_ptr<AbstractBrain> StateMenu::createBrain(int i) const {
  Q_ASSERT_MSG(i >= 0 && i < (int)RaceTeamButtons::COUNT,
               "brain < (int)RaceTeamButtons::COUNT");
  switch (i) {
  case RaceTeamButtons::PlayerAndBlocker:
    return std::make_unique<PlayerBrain>(keyboardButtons());
  case RaceTeamButtons::TwoPlayers:
    return std::make_unique<TwoPlayerBrain>(keyboardButtons());
  default:
    break;
  }
  if (i < 0 || i >= RaceTeamButtons::COUNT)
    return nullptr;
  std::unique_ptr<AbstractBrain> brain = createDriver(brainLabel(i), false);
  if (!brain)
    std::cerr << "Driver not available: " << brainLabel(i) << std::endl;
  return brain;
}

std::unique_ptr<AbstractBrain> StateMenu::createTimeAttackBrain(int j) const {
  switch (j) {
  case TimeAttackToggles::Player1:
  case TimeAttackToggles::Player2: {
    auto brain = std::make_unique<PlayerBrain>(keyboardButtons());
    brain->setMainKeys(j == TimeAttackToggles::Player1);
    return brain;
  }
  default:
    break;
  }
  // The registry knows the time-attack drivers by their team names.
  std::unique_ptr<AbstractBrain> brain = createDriver(timeAttackTeamName(j), true);
  if (!brain)
    std::cerr << "Driver not available: " << timeAttackTeamName(j) << std::endl;
  return brain;
}

void StateMenu::launchRace() {
  if (!canRace())
    return;
  PodStateManager* states = podStateManager();
  Q_ASSERT(states);
  if (!states)
    return;

  RaceConfiguration config;
  config.timeAttack = timeAttack_;
  config.track = tracks_[selectedTrack_];

  if (!timeAttack_) {
    config.nbPodsPerTeam = 2;
    const int choices[2] = {team1Choice_, team2Choice_};
    for (int team = 0; team < 2; ++team) {
      std::unique_ptr<AbstractBrain> brain = createBrain(choices[team]);
      if (!brain)
        return;
      brain->setTeam(team);
      config.brains.push_back(std::move(brain));
      config.teamNames.push_back(brainLabel(choices[team]));
    }
    if (team2Choice_ == RaceTeamButtons::PlayerAndBlocker)
      static_cast<PlayerBrain&>(*config.brains[1]).setMainKeys(false);

    // Pod p belongs to team p / 2.
    const bool keys1 = isKeyboardChoice(team1Choice_);
    if (team1Choice_ == RaceTeamButtons::PlayerAndBlocker) {
      config.player1Pod = 0;
      config.player2Pod = team2Choice_ == RaceTeamButtons::PlayerAndBlocker ? 2 : -1;
    } else if (team1Choice_ == RaceTeamButtons::TwoPlayers) {
      config.player1Pod = 0;
      config.player2Pod = 1;
    } else if (!keys1 && team2Choice_ == RaceTeamButtons::PlayerAndBlocker) {
      config.player1Pod = -1;
      config.player2Pod = 2;
    } else if (!keys1 && team2Choice_ == RaceTeamButtons::TwoPlayers) {
      config.player1Pod = 2;
      config.player2Pod = 3;
    }
  } else {
    config.nbPodsPerTeam = 1;
    for (int j = 0; j < TimeAttackToggles::COUNT; ++j) {
      if (!timeAttackToggles_[j]->isToggledOn())
        continue;
      std::unique_ptr<AbstractBrain> brain = createTimeAttackBrain(j);
      if (!brain)
        return;
      const int team = static_cast<int>(config.brains.size());
      brain->setTeam(team);
      if (j == TimeAttackToggles::Player1)
        config.player1Pod = team;
      if (j == TimeAttackToggles::Player2)
        config.player2Pod = team;
      config.brains.push_back(std::move(brain));
      config.teamNames.push_back(timeAttackTeamName(j));
    }
  }
  states->goToRace(std::move(config));
}

void StateMenu::describe(sf::Text& text, int i, bool forTeam1) {
  // A wider inner margin than the rules panels: these texts are long.
  const float width = descriptionPanel_.getSize().x - 30.f;
  wrapAndCentre(text, driverDescription(i, forTeam1), std::max(width, 100.f));
}

void StateMenu::nextTrivia() {
  if (trivia_.empty())
    return;
  ++triviaIndex_;
  if (triviaIndex_ >= static_cast<int>(trivia_.size()))
    triviaIndex_ = 0;
  wrapAndCentre(triviaText_, trivia_[triviaIndex_], kTriviaTextWidth);
}

PodStateManager* StateMenu::podStateManager() const {
  return dynamic_cast<PodStateManager*>(vexa::components().stateManager());
}

sf::Vector2u StateMenu::windowSize() const {
  const sf::RenderWindow* window = vexa::graphics().window();
  Q_ASSERT(window);
  const sf::Vector2f view = window->getView().getSize();
  return {static_cast<unsigned>(view.x), static_cast<unsigned>(view.y)};
}

float StateMenu::descriptionPanelX(bool team1) const {
  const ColoredPushButton& first = *team1Buttons_[0];
  const float x = (first.getPosition().x - halfWidth(first)) / 2.f;
  return team1 ? x : static_cast<float>(windowSize().x) - x;
}

void StateMenu::placeMarker(bool team1) {
  if (team1) {
    const ColoredPushButton& first = *team1Buttons_[0];
    team1Marker_.setPosition(first.getPosition().x - halfWidth(first) -
                                 team1Marker_.getSize().x / 2.f,
                             team1Buttons_[team1Choice_]->getPosition().y);
  } else {
    const ColoredPushButton& first = *team2Buttons_[0];
    team2Marker_.setPosition(first.getPosition().x + halfWidth(first) +
                                 team2Marker_.getSize().x / 2.f,
                             team2Buttons_[team2Choice_]->getPosition().y);
  }
}

void StateMenu::updateLayout() {
  if (!raceButton_)
    return;
  const sf::Vector2u size = windowSize();
  const float w = static_cast<float>(size.x);
  const float h = static_cast<float>(size.y);
  const sf::Vector2f c(w / 2.f, h / 2.f);

  gameModeTitle_.setPosition(c.x, 270.f);
  timeAttackButton_->setPosition(c.x - kColumnOffset, 300.f);
  raceModeButton_->setPosition(c.x + kColumnOffset, 300.f);
  modePanel_.setPosition(c.x, 360.f);
  timeAttackRules_.setPosition(c.x, 360.f);
  raceRules_.setPosition(c.x, 360.f);

  teamsTitle_.setPosition(c.x, 435.f);
  for (int i = 0; i < RaceTeamButtons::COUNT; ++i) {
    team1Buttons_[i]->setPosition(c.x - kColumnOffset, 465.f + 30.f * i);
    team2Buttons_[i]->setPosition(c.x + kColumnOffset, 465.f + 30.f * i);
  }
  swapButton_->setPosition(c.x, 570.f);

  tracksTitle_.setPosition(c.x, 705.f);
  noTrackText_.setPosition(c.x, 750.f);
  if (!trackButtons_.empty()) {
    const float s = trackButtons_[0]->globalBounds().width + 5.f;
    const float n = static_cast<float>(trackButtons_.size());
    // Centred on the window whatever the parity of the count.
    const float x0 = c.x - (n - 1.f) / 2.f * s;
    for (std::size_t k = 0; k < trackButtons_.size(); ++k)
      trackButtons_[k]->setPosition(x0 + static_cast<float>(k) * s, 750.f);
  }
  raceButton_->setPosition(c.x, 825.f);

  vfxButton_->setPosition(w - 250.f, h - 60.f);
  quitButton_->setPosition(w - 250.f, h - 30.f);
  artCreditButton_->setPosition(250.f, h - 60.f);
  codeCreditButton_->setPosition(250.f, h - 30.f);

  logoSfml_.setPosition(130.f, 40.f);
  logoCpp_.setPosition(250.f, 40.f);
  logoTarvok_.setPosition(370.f, 40.f);
  logo_.setPosition(c.x, 0.f);
  background_.setPosition(c.x, c.y);
  // The background covers the whole window whatever its shape.
  const sf::FloatRect bg = background_.getLocalBounds();
  if (bg.width > 0.f && bg.height > 0.f) {
    const float scale = std::max(w / bg.width, h / bg.height);
    background_.setScale(scale, scale);
  }
  cacheBackground(size);

  const float panelY = teamsTitle_.getPosition().y + 30.f + 25.f;
  timeAttackPanel_.setPosition(c.x, panelY);
  timeAttackText_.setPosition(c.x, panelY);
  for (int j = 0; j < TimeAttackToggles::COUNT; ++j) {
    const float toggleHeight = timeAttackToggles_[j]->globalBounds().height;
    timeAttackToggles_[j]->setPosition(
        c.x, panelY + 30.f + 30.f + toggleHeight / 2.f + 30.f * j);
  }

  const float panelWidth = w / 2.f - 8.f - halfWidth(*swapButton_) -
                           kTeamButtonWidth - 40.f;
  descriptionPanel_.setSize({panelWidth, kDescriptionPanelHeight});
  sfmlutils::centerOrigin(descriptionPanel_);
  const ColoredPushButton& first = *team1Buttons_[0];
  const float markerWidth = first.getPosition().x - halfWidth(first) -
                            (descriptionPanelX(true) + panelWidth / 2.f);
  for (sf::RectangleShape* marker : {&team1Marker_, &team2Marker_}) {
    marker->setSize({std::max(markerWidth, 0.f), 1.f});
    sfmlutils::centerOrigin(*marker);
  }

  triviaAnchor_ = {w + kTriviaWidth / 2.f - kTriviaStrip, 100.f};
  triviaPanel_.setPosition(triviaAnchor_);

  selectTeam1(team1Choice_);
  selectTeam2(team2Choice_);
}

void StateMenu::cacheBackground(const sf::Vector2u& size) {
  if (!backgroundCache_ || backgroundCache_->getSize() != size) {
    backgroundCache_ = std::make_unique<sf::RenderTexture>();
    if (!backgroundCache_->create(size.x, size.y)) {
      // Without render textures the sprite is drawn as it is.
      backgroundCache_.reset();
      return;
    }
  }
  backgroundCache_->clear(sf::Color::Black);
  backgroundCache_->draw(background_);
  backgroundCache_->display();
  cachedBackground_.setTexture(backgroundCache_->getTexture(), true);
  cachedBackground_.setPosition(0.f, 0.f);
}

void StateMenu::update(float dt) {
  vexa::AbstractState::update(dt);
  vexa::InputManager* input = vexa::components().inputManager();
  Q_ASSERT(input);
  sf::RenderWindow* window = vexa::graphics().window();
  if (!input || !window)
    return;

  const qutils::Vec2 mouse = input->mousePosition(*window, window->getView());
  sceneGraph_.updateHover(mouse);
  if (input->isPressed("touch"))
    sceneGraph_.touchDown(mouse);
  if (input->isReleased("touch"))
    sceneGraph_.touchUp(mouse);
}

void StateMenu::slideTrivia(const sf::Vector2f& mouse,
                            const sf::Vector2u& windowSize) {
  const float w = static_cast<float>(windowSize.x);
  const float h = static_cast<float>(windowSize.y);
  const bool inWindow = mouse.x >= 0.f && mouse.y >= 0.f && mouse.x < w && mouse.y < h;
  triviaPanel_.setPosition(triviaAnchor_);
  triviaHovered_ = inWindow && triviaPanel_.getGlobalBounds().contains(mouse);

  const sf::Vector2f target =
      triviaHovered_ ? sf::Vector2f(w - kTriviaWidth / 2.f, kTriviaHeight / 2.f)
                     : sf::Vector2f(w + kTriviaWidth / 2.f - kTriviaStrip,
                                    kTriviaHeight / 2.f);
  const sf::Vector2f step = (target - triviaAnchor_) * 0.125f;
  if (std::sqrt(step.x * step.x + step.y * step.y) < 0.01f)
    triviaAnchor_ = target;
  else
    triviaAnchor_ += step;
  triviaPanel_.setPosition(triviaAnchor_);
}

void StateMenu::draw(float, float) {
  sf::RenderWindow* window = vexa::graphics().window();
  Q_ASSERT(window);
  if (!window)
    return;
  const sf::Vector2u size = windowSize();
  const qutils::Vec2 mouse = vexa::inputManager().mousePosition();
  slideTrivia({mouse.x, mouse.y}, size);

  if (backgroundCache_)
    window->draw(cachedBackground_);
  else
    window->draw(background_);
  if (team1Choice_ != -1 && !timeAttack_)
    window->draw(team1Marker_);
  if (team2Choice_ != -1 && !timeAttack_)
    window->draw(team2Marker_);

  window->draw(triviaPanel_);
  moreTriviaButton_->setPosition(
      triviaAnchor_.x, triviaAnchor_.y + kTriviaHeight / 2.f - 5.f -
                           moreTriviaButton_->globalBounds().height / 2.f);
  if (triviaHovered_) {
    triviaText_.setPosition(triviaAnchor_);
    window->draw(triviaText_);
  } else {
    triviaLabel_.setPosition(triviaAnchor_.x - kTriviaWidth / 2.f + 15.f,
                             triviaAnchor_.y);
    window->draw(triviaLabel_);
  }

  window->draw(sceneGraph_);

  window->draw(logo_);
  window->draw(gameModeTitle_);
  window->draw(teamsTitle_);
  window->draw(tracksTitle_);
  if (tracks_.empty())
    window->draw(noTrackText_);
  window->draw(modePanel_);

  if (timeAttack_) {
    window->draw(timeAttackRules_);
    window->draw(timeAttackPanel_);
    window->draw(timeAttackText_);
  } else {
    window->draw(raceRules_);
    const float y = swapButton_->getPosition().y;
    if (team1Choice_ != -1) {
      descriptionPanel_.setPosition(descriptionPanelX(true), y);
      team1Description_.setPosition(descriptionPanelX(true), y);
      window->draw(descriptionPanel_);
      window->draw(team1Description_);
    }
    if (team2Choice_ != -1) {
      descriptionPanel_.setPosition(descriptionPanelX(false), y);
      team2Description_.setPosition(descriptionPanelX(false), y);
      window->draw(descriptionPanel_);
      window->draw(team2Description_);
    }
  }

  window->draw(logoSfml_);
  window->draw(logoCpp_);
  window->draw(logoTarvok_);
}

} // namespace pod
