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
#include <unistd.h>
#include <iostream>
#include "screens/menustyle.h"

namespace pod {

namespace {

// A page of the documentation: in the working folder of a checkout, else in
// the installed package's documentation beside the data folder.
std::string documentPath(const std::string& page) {
  std::error_code error;
  if (std::filesystem::exists(page, error))
    return page;
  const std::string installed = vexa::pathManager().resourcesPath() + "../../doc/vuzuder/" +
                                std::filesystem::path(page).filename().string();
  return std::filesystem::exists(installed, error) ? installed : page;
}

} // namespace

using namespace menustyle;

namespace {

// The corners' columns: distance from the window's edges and row step.
constexpr float kEdge = 20.f;
constexpr float kCornerStep = 26.f;
constexpr float kArrowWidth = 20.f;

} // namespace

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
  buildBotButtons();

  editorButton_ = factory.createToggleButton(&root);
  GuiFactory::resize(*editorButton_, 200.f, 20.f);
  editorButton_->setString("Track editor");
  editorButton_->setCallback([this] {
    if (PodStateManager* states = podStateManager())
      states->goToLevelEditor();
  });

  trackRow_ = root.createChild();
  buildTrackButtons();
  for (ColoredPushButton** arrow : {&previousTracks_, &nextTracks_}) {
    *arrow = factory.createButton(&root);
    GuiFactory::resize(**arrow, kArrowWidth, 20.f);
    (*arrow)->setVisible(false);
  }
  previousTracks_->setString("<");
  previousTracks_->setCallback([this] { showTrackPage(trackPage_ - 1); });
  nextTracks_->setString(">");
  nextTracks_->setCallback([this] { showTrackPage(trackPage_ + 1); });

  const auto credit = [this, &factory, &root](const std::string& label,
                                              const std::string& page) {
    ColoredPushButton* button = factory.createWideButton(&root);
    button->setString(label);
    const float width = button->text().getLocalBounds().width + 20.f;
    if (width > 300.f)
      GuiFactory::resize(*button, width, 20.f);
    button->setCallback([this, page] { openPage(page); });
    return button;
  };
  artCreditButton_ = credit("Art by the Vuzuder UR team", "docs/ART.md");
  codeCreditButton_ =
      credit("Programming and AI design by the Vuzuder UR team", "README.md");

  replayList_.build(factory);

  moreTriviaButton_ = factory.createToggleButton(&root);
  GuiFactory::resize(*moreTriviaButton_, 100.f, 20.f);
  moreTriviaButton_->setString("More trivia !");
  moreTriviaButton_->setCallback([this] { nextTrivia(); });
}

void StateMenu::buildTrackButtons() {
  auto& factory = dynamic_cast<GuiFactory&>(vexa::guiFactory());
  trackRow_->clearChildren();
  // Names longer than the standard 50 pixels widen every track button alike,
  // so that the row stays regular.
  float trackWidth = 50.f;
  trackButtons_.clear();
  for (std::size_t k = 0; k < tracks_.size(); ++k) {
    ColoredPushButton* button = factory.createToggleButton(trackRow_);
    // The player's own tracks come after the shipped ones, with a star.
    const bool player = k + playerTrackCount_ >= tracks_.size();
    button->setString(player ? tracks_[k].name + " *" : tracks_[k].name);
    trackWidth = std::max(trackWidth, button->text().getLocalBounds().width + 14.f);
    const int index = static_cast<int>(k);
    button->setCallback([this, index] { selectTrack(index); });
    trackButtons_.push_back(button);
  }
  for (ColoredPushButton* button : trackButtons_)
    GuiFactory::resize(*button, trackWidth, 20.f);
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

  setUpText(openStatus_, kRulesSize);
  openStatus_.setFillColor(sf::Color(254, 175, 73));
  openStatus_.setOutlineColor(sf::Color::Black);
  openStatus_.setOutlineThickness(1.f);

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
  // The panel is see-through and slides over the logo: an outline keeps the
  // text readable on any of it.
  triviaText_.setOutlineColor(sf::Color::Black);
  triviaText_.setOutlineThickness(1.f);

  trivia_.clear();
  for (const std::string& entry : triviaEntries())
    trivia_.push_back(entry);
  nextTrivia();
}

std::uint32_t StateMenu::menuBackgroundId() { return TextureId::MenuBackground; }

void StateMenu::setUpSprites() {
  auto& resources = vexa::resourceManager();
  logo_.setTexture(resources.texture(TextureId::Logo), true);
  sfmlutils::topCenterOrigin(logo_);
  fitSprite(logo_, 900.f, 240.f);

  // Only the image's size here: the texture is bound when the background is
  // drawn, so that it can be freed between window sizes.
  const sf::Vector2u backgroundSize = resources.texture(menuBackgroundId()).getSize();
  background_.setTextureRect(
      {0, 0, static_cast<int>(backgroundSize.x), static_cast<int>(backgroundSize.y)});
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

void StateMenu::describe(sf::Text& text, int i, bool forTeam1) {
  // A wider inner margin than the rules panels: these texts are long.
  const float width = descriptionPanel_.getSize().x - 30.f;
  const std::string description =
      i >= RaceTeamButtons::COUNT ? botDescription(choiceLabel(i)) : driverDescription(i, forTeam1);
  wrapAndCentre(text, description, std::max(width, 100.f));
  text.setPosition(descriptionPanelX(forTeam1), swapButton_->getPosition().y);
}

void StateMenu::nextTrivia() {
  if (trivia_.empty())
    return;
  ++triviaIndex_;
  if (triviaIndex_ >= static_cast<int>(trivia_.size()))
    triviaIndex_ = 0;
  wrapAndCentre(triviaText_, trivia_[triviaIndex_], kTriviaTextWidth);
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
                             choiceButton(true, team1Choice_)->getPosition().y);
  } else {
    const ColoredPushButton& first = *team2Buttons_[0];
    team2Marker_.setPosition(first.getPosition().x + halfWidth(first) +
                                 team2Marker_.getSize().x / 2.f,
                             choiceButton(false, team2Choice_)->getPosition().y);
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
    team1Buttons_[i]->setPosition(c.x - kColumnOffset, teamRowY(i));
    team2Buttons_[i]->setPosition(c.x + kColumnOffset, teamRowY(i));
  }
  swapButton_->setPosition(c.x, 570.f);

  tracksTitle_.setPosition(c.x, 705.f);
  noTrackText_.setPosition(c.x, 750.f);
  raceButton_->setPosition(c.x, 825.f);

  // The corners' columns hug the window's edges, so that the middle of
  // the bottom rows is free for the tracks and "RACE !".
  const float rightX = w - kEdge - 100.f;
  quitButton_->setPosition(rightX, h - 30.f);
  vfxButton_->setPosition(rightX, h - 30.f - kCornerStep);
  editorButton_->setPosition(rightX, h - 30.f - 2.f * kCornerStep);
  // The list opens above the button, over the panels.
  replayList_.setPosition(rightX, h - 30.f - 3.f * kCornerStep, w, h);
  artCreditButton_->setPosition(kEdge + halfWidth(*artCreditButton_), h - 30.f - kCornerStep);
  openStatus_.setPosition(kEdge, h - 30.f - 2.f * kCornerStep);
  codeCreditButton_->setPosition(kEdge + halfWidth(*codeCreditButton_), h - 30.f);

  // A column in the top-left corner: a row beside the big logo would run
  // into it on the narrowest window.
  logoSfml_.setPosition(75.f, 40.f);
  logoCpp_.setPosition(75.f, 112.f);
  logoTarvok_.setPosition(75.f, 184.f);
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
  layoutBotButtons(c);

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

  // The tracks take the middle of the window between the corners' columns:
  // centred on the window when they fit so, else on the room left.
  const float creditsRight =
      kEdge + 2.f * std::max(halfWidth(*artCreditButton_), halfWidth(*codeCreditButton_));
  const float cornersLeft = rightX - halfWidth(*quitButton_);
  const float margin = std::max(creditsRight, w - cornersLeft) + kEdge;
  trackBand_.firstRowY = 750.f;
  trackBand_.rowStep = 25.f;
  trackBand_.maxRows = 2;
  trackBand_.arrowWidth = kArrowWidth;
  trackBand_.left = margin;
  trackBand_.right = w - margin;
  const float trackWidth = trackButtons_.empty() ? 0.f : trackButtons_[0]->globalBounds().width;
  if (arrangeRows(trackButtons_.size(), trackWidth, trackBand_, 0).paged) {
    trackBand_.left = creditsRight + kEdge;
    trackBand_.right = cornersLeft - kEdge;
  }
  if (!trackButtons_.empty())
    trackPage_ = pageOf(static_cast<std::size_t>(selectedTrack_), trackButtons_.size(),
                        trackButtons_[0]->globalBounds().width, trackBand_);
  placeTrackButtons();

  selectTeam1(team1Choice_);
  selectTeam2(team2Choice_);
}

sf::FloatRect StateMenu::descriptionPanelRect(bool team1) const {
  sf::RectangleShape panel = descriptionPanel_;
  panel.setPosition(descriptionPanelX(team1), swapButton_->getPosition().y);
  return panel.getGlobalBounds();
}

std::vector<std::pair<std::string, sf::FloatRect>> StateMenu::panelBoxes() const {
  std::vector<std::pair<std::string, sf::FloatRect>> boxes = {
      {"logo", logo_.getGlobalBounds()},
      {"logo SFML", logoSfml_.getGlobalBounds()},
      {"logo C++", logoCpp_.getGlobalBounds()},
      {"logo VUR", logoTarvok_.getGlobalBounds()},
      {gameModeTitle_.getString(), gameModeTitle_.getGlobalBounds()},
      {teamsTitle_.getString(), teamsTitle_.getGlobalBounds()},
      {tracksTitle_.getString(), tracksTitle_.getGlobalBounds()},
      {"mode panel", modePanel_.getGlobalBounds()}};
  if (timeAttack_) {
    boxes.push_back({"time attack panel", timeAttackPanel_.getGlobalBounds()});
  } else {
    if (team1Choice_ != -1)
      boxes.push_back({"team 1 description", descriptionPanelRect(true)});
    if (team2Choice_ != -1)
      boxes.push_back({"team 2 description", descriptionPanelRect(false)});
  }
  if (tracks_.empty())
    boxes.push_back({"no track", noTrackText_.getGlobalBounds()});
  if (!openStatus_.getString().isEmpty())
    boxes.push_back({"open status", openStatus_.getGlobalBounds()});
  const sf::Vector2u size = windowSize();
  sf::FloatRect strip;
  if (triviaPanel_.getGlobalBounds().intersects(
          {0.f, 0.f, static_cast<float>(size.x), static_cast<float>(size.y)}, strip))
    boxes.push_back({"trivia", strip});
  return boxes;
}

void StateMenu::openPage(const std::string& wanted) {
  const std::string page = documentPath(wanted);
  const std::string failure = "Could not open " + page;
  int report = -1;
  setOpenStatus("");
  if (openAddress(fileAddress(page), failure, &report))
    pendingOpens_.push_back({report, page});
  else
    setOpenStatus(failure + ": no program here opens it");
}

void StateMenu::pollOpens() {
  for (auto it = pendingOpens_.begin(); it != pendingOpens_.end();) {
    const OpenOutcome outcome = pollOpenReport(it->first);
    if (outcome == OpenOutcome::Pending) {
      ++it;
      continue;
    }
    if (outcome == OpenOutcome::Failed)
      setOpenStatus("Could not open " + it->second + ": no program here opens it");
    ::close(it->first);
    it = pendingOpens_.erase(it);
  }
}

void StateMenu::setOpenStatus(const std::string& text) {
  openStatus_.setString(text);
  sfmlutils::leftCenterOrigin(openStatus_);
}

void StateMenu::showTrackPage(int page) {
  trackPage_ = page;
  placeTrackButtons();
}

void StateMenu::placeTrackButtons() {
  if (!previousTracks_)
    return;
  const float width = trackButtons_.empty() ? 0.f : trackButtons_[0]->globalBounds().width;
  const RowLayout rows = arrangeRows(trackButtons_.size(), width, trackBand_, trackPage_);
  trackPage_ = rows.page;
  for (std::size_t k = 0; k < trackButtons_.size(); ++k) {
    trackButtons_[k]->setVisible(rows.slots[k].shown);
    trackButtons_[k]->setPosition(rows.slots[k].x, rows.slots[k].y);
  }
  previousTracks_->setVisible(rows.paged && rows.page > 0);
  nextTracks_->setVisible(rows.paged && rows.page + 1 < rows.pageCount);
  previousTracks_->setPosition(rows.previousX, rows.arrowY);
  nextTracks_->setPosition(rows.nextX, rows.arrowY);
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
  sf::Sprite background = background_;
  background.setTexture(vexa::resourceManager().texture(menuBackgroundId()));
  backgroundCache_->draw(background);
  // The logos never move between layouts: drawn once here, they cost the
  // software renderer nothing per frame.
  for (const sf::Sprite* logo : {&logo_, &logoSfml_, &logoCpp_, &logoTarvok_})
    backgroundCache_->draw(*logo);
  backgroundCache_->display();
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
  replayList_.update(mouse, input->isPressed("touch"), input->isReleased("touch"));
  pollOpens();
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
  triviaResting_ = triviaAnchor_ == target;
  if (std::sqrt(step.x * step.x + step.y * step.y) < 0.01f)
    triviaAnchor_ = target;
  else
    triviaAnchor_ += step;
  triviaPanel_.setPosition(triviaAnchor_);
  // The text shows once the panel is all in: sliding, it would run over the
  // window's edge. It sits clear of the button at the bottom.
  triviaText_.setPosition(triviaAnchor_.x, std::round(triviaAnchor_.y - 12.f));
  const sf::FloatRect panel = triviaPanel_.getGlobalBounds();
  triviaTextShown_ = triviaHovered_ && panel.left >= 0.f && panel.left + panel.width <= w;
  if (moreTriviaButton_)
    moreTriviaButton_->setPosition(
        triviaAnchor_.x, triviaAnchor_.y + kTriviaHeight / 2.f - 5.f -
                             moreTriviaButton_->globalBounds().height / 2.f);
}

void StateMenu::draw(float, float) {
  sf::RenderWindow* window = vexa::graphics().window();
  Q_ASSERT(window);
  if (!window)
    return;
  const sf::Vector2u size = windowSize();
  const qutils::Vec2 mouse = vexa::inputManager().mousePosition();
  slideTrivia({mouse.x, mouse.y}, size);

  // The cache is opaque: copied without blending. Not through the copy
  // shader of the race: compiling one costs the menu 8 MB of memory, and a
  // still menu is seldom drawn.
  if (backgroundCache_) {
    window->draw(sf::Sprite(backgroundCache_->getTexture()), sf::RenderStates(sf::BlendNone));
    // The cache is all the menu shows of the 2048 x 1152 image: it is decoded
    // again only for another window size or the race's Dusk theme.
    vexa::resourceManager().releaseTexture(menuBackgroundId());
  } else {
    sf::Sprite background = background_;
    background.setTexture(vexa::resourceManager().texture(menuBackgroundId()));
    window->draw(background);
  }
  if (team1Choice_ != -1 && !timeAttack_)
    window->draw(team1Marker_);
  if (team2Choice_ != -1 && !timeAttack_)
    window->draw(team2Marker_);

  // The logos first: the trivia panel slides over the big one, and its
  // button (in the scene graph) over the panel. The cache holds them.
  if (!backgroundCache_) {
    window->draw(logo_);
    window->draw(logoSfml_);
    window->draw(logoCpp_);
    window->draw(logoTarvok_);
  }

  window->draw(triviaPanel_);
  if (triviaTextShown_) {
    window->draw(triviaText_);
  } else if (!triviaHovered_) {
    triviaLabel_.setPosition(triviaAnchor_.x - kTriviaWidth / 2.f + 15.f,
                             triviaAnchor_.y);
    window->draw(triviaLabel_);
  }

  window->draw(sceneGraph_);

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

  if (!openStatus_.getString().isEmpty())
    window->draw(openStatus_);

  // Over the panels: the list opens on top of the menu.
  replayList_.draw(*window);
}

} // namespace pod
