#include "simulation/racesimulation.h"

#include "app/coloredpushbutton.h"
#include "app/guifactory.h"
#include "app/podresourcemanager.h"
#include "bots/gamebotbrain.h"
#include "race/racerules.h"

#include <qutils/assert.h>
#include <sfmlutils/convert.h>
#include <sfmlutils/origin.h>
#include <sfmlutils/viewguard.h>
#include <vexa/core/components.h>
#include <vexa/core/pathmanager.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/resourcemanager.h>
#include <vexa/gui/nodes/shapeshifterlabel.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace pod {

namespace {

using sfmlutils::toSf;

const char* const cSpeedLabels[RaceSimulation::cSpeedButtonCount] = {"x0.5", "x1", "x1.5",
                                                                     "x2",   "x3", "x4"};
const char* const cThemeLabels[] = {"Day", "Dusk"};

const sf::Color cPanelFill(18, 22, 32, 200);
const sf::Color cPanelEdge(110, 140, 170, 160);
const sf::Color cDimText(170, 185, 200);
const sf::Color cGapText(255, 150, 90);

constexpr float cLineHeight = 20.f;
constexpr float cMeterSize = 40.f;
constexpr float cMeterOffset = 75.f;
constexpr float cProgressWidth = 640.f;
constexpr float cWinnerWidth = 420.f;
constexpr float cWinnerHeight = 170.f;

void panelRect(sf::RenderTarget& target, const sf::FloatRect& r) {
  sf::RectangleShape shape({r.width, r.height});
  shape.setPosition(r.left, r.top);
  shape.setFillColor(cPanelFill);
  shape.setOutlineColor(cPanelEdge);
  shape.setOutlineThickness(1.f);
  target.draw(shape);
}

} // namespace

RaceSimulation::RaceSimulation() = default;

RaceSimulation::~RaceSimulation() {
  // The brains' workers read the track and physics of the base: stop them
  // first.
  releaseBrains();
}

void RaceSimulation::releaseBrains() { brains_.clear(); }

sf::Text RaceSimulation::makeText(unsigned size, const sf::Color& colour) const {
  sf::Text text;
  if (font_)
    text.setFont(*font_);
  text.setCharacterSize(size);
  text.setFillColor(colour);
  return text;
}

bool RaceSimulation::initialise() {
  if (!BaseSimulation::initialise())
    return false;
  vexa::ResourceManager& resources = vexa::resourceManager();
  font_ = &resources.font(FontId::Main);

  if (!timeoutShader_.loadFromFile(vexa::pathManager().shadersPath() + "fstimeoutmeter.h",
                                   sf::Shader::Fragment))
    return false;
  sf::Image white;
  white.create(4, 4, sf::Color::White);
  if (!meterTexture_.loadFromImage(white))
    return false;

  const GuiFactory factory;
  vexa::SceneNode& root = gui_.root();
  root.clearChildren();
  speedButtons_.clear();
  themeButtons_.clear();

  sidePanel_ = root.createChild();
  menuTab_ = sidePanel_->makeChild<vexa::ShapeShifterLabel>(
      *font_, "M\nE\nN\nU", 14u, vexa::ShapeShifter::ShapeFlag, vexa::ShapeShifter::Rectangle);
  menuTab_->setMargin(6.f, 10.f);
  menuTab_->shape().setFillColor(sf::Color(254, 175, 73, 220));
  menuTab_->text().setFillColor(sf::Color(20, 24, 32));
  menuTab_->updateLayout();

  toMenuButton_ = factory.createButton(sidePanel_);
  toMenuButton_->setString("To menu");
  debugButton_ = factory.createToggleButton(sidePanel_);
  debugButton_->setString("Debug mode");
  GuiFactory::resize(*debugButton_, 200.f, 20.f);
  debugButton_->setCallback([this] { toggleDebugMode(); });
  fixCameraButton_ = factory.createToggleButton(sidePanel_);
  fixCameraButton_->setString("Fix camera");
  GuiFactory::resize(*fixCameraButton_, 200.f, 20.f);
  fixCameraButton_->setCallback([this] { setFixCamera(!fixCamera_); });

  speedLabel_ = sidePanel_->makeChild<vexa::ShapeShifterLabel>(*font_, "Speed", 14u);
  for (int i = 0; i < cSpeedButtonCount; ++i) {
    ColoredPushButton* b = factory.createToggleButton(sidePanel_);
    b->setString(cSpeedLabels[i]);
    GuiFactory::resize(*b, 31.f, 20.f);
    speedButtons_.push_back(b);
  }
  saveReplayButton_ = factory.createButton(sidePanel_);
  saveReplayButton_->setString("Save replay");
  GuiFactory::resize(*saveReplayButton_, 200.f, 20.f);
  saveReplayButton_->setCallback([this] { saveReplay(); });

  themeLabel_ = sidePanel_->makeChild<vexa::ShapeShifterLabel>(*font_, "Theme", 14u);
  for (std::uint32_t t = 0; t < PodResourceManager::getNbThemes(); ++t) {
    ColoredPushButton* b = factory.createToggleButton(sidePanel_);
    b->setString(t < 2 ? cThemeLabels[t] : PodResourceManager::themeNames()[t]);
    GuiFactory::resize(*b, 98.f, 20.f);
    b->setCallback([this, t] { selectTheme(t); });
    themeButtons_.push_back(b);
  }

  winnerPanel_ = root.createChild();
  restartButton_ = factory.createButton(winnerPanel_);
  restartButton_->setString("Restart");
  GuiFactory::resize(*restartButton_, 150.f, 28.f);
  menuButton_ = factory.createButton(winnerPanel_);
  menuButton_->setString("Menu");
  GuiFactory::resize(*menuButton_, 150.f, 28.f);
  winnerPanel_->setVisible(false);

  selectTheme(0);
  return true;
}

void RaceSimulation::toggleDebugMode() {
  setDebugMode(!debugMode());
  if (debugButton_)
    debugButton_->setToggled(debugMode());
}

void RaceSimulation::setFixCamera(bool fix) {
  BaseSimulation::setFixCamera(fix);
  if (fixCameraButton_)
    fixCameraButton_->setToggled(fix);
}

void RaceSimulation::selectTheme(std::uint32_t nb) {
  Q_ASSERT(nb < PodResourceManager::getNbThemes());
  if (nb >= PodResourceManager::getNbThemes())
    return;
  for (std::size_t i = 0; i < themeButtons_.size(); ++i)
    themeButtons_[i]->setToggled(i == nb);
  setThemeIndex(nb);
}

void RaceSimulation::highlightSpeedButton(int index) {
  for (std::size_t i = 0; i < speedButtons_.size(); ++i)
    speedButtons_[i]->setToggled(static_cast<int>(i) == index);
}

bool RaceSimulation::isWinnerPanelShown() const {
  return winnerPanel_ && winnerPanel_->isVisible();
}

bool RaceSimulation::launch(bool timeAttack, int nbPodsPerTeam,
                            std::vector<std::unique_ptr<AbstractBrain>> brains, const Track& track,
                            const std::vector<std::string>& teamNames) {
  // The old brains go before the track and physics that their workers read
  // are replaced.
  releaseBrains();
  winnerBoard_.reset();
  forfeitWinner_ = -1;
  if (winnerPanel_)
    winnerPanel_->setVisible(false);
  if (!BaseSimulation::launch(timeAttack, nbPodsPerTeam, static_cast<int>(brains.size()), track,
                              teamNames)) {
    Q_ASSERT(false);
    return false;
  }
  brains_ = std::move(brains);
  for (auto& brain : brains_) {
    brain->setPhysics(physics_);
    brain->setTrack(track_);
  }
  replay_ = false;
  recording_.begin(track_, teamNames_, physics_.getCurrentState(), turnTime_);
  statistics_.reset(brains_.size() * static_cast<std::size_t>(nbPodsPerTeam));
  selectedPod_ = -1;
  order_.clear();
  return true;
}

void RaceSimulation::turn(float dt) {
  Q_ASSERT(!brains_.empty());
  if (brains_.empty())
    return;
  const Race& current = physics_.getCurrentState();
  influences_.clear();
  for (auto& brain : brains_) {
    if (winner() == -1) {
      brain->think(current, influences_);
    } else {
      for (int i = 0; i < current.nbPodsPerTeam; ++i)
        influences_.push_back(Influence{});
    }
  }
  Q_ASSERT(influences_.size() == current.pods.size());
  if (influences_.size() != current.pods.size())
    return;
  checkBots();
  step(dt, influences_);
  const Race& next = physics_.getCurrentState();
  for (auto& brain : brains_)
    brain->turnDone(next, dt);
  recordTurn(influences_, next);
  if (winnerBoard_.update(next, teamNames_) && winnerPanel_)
    winnerPanel_->setVisible(true);
}

int RaceSimulation::winner() const {
  return forfeitWinner_ >= 0 ? forfeitWinner_ : BaseSimulation::winner();
}

// Bots' late turns go to their pods' statistics; in a team race the first
// bot to forfeit hands the race to the other team.
void RaceSimulation::checkBots() {
  const Race& race = physics_.getCurrentState();
  for (std::size_t team = 0; team < brains_.size(); ++team) {
    const auto* bot = dynamic_cast<const bots::GameBotBrain*>(brains_[team].get());
    if (!bot)
      continue;
    for (int k = 0; k < race.nbPodsPerTeam; ++k)
      statistics_.setLateTurns(team * static_cast<std::size_t>(race.nbPodsPerTeam) +
                                   static_cast<std::size_t>(k),
                               bot->lateTurns());
    const bots::Problem* problem = bot->forfeit();
    if (!problem || race.timeAttack || winner() != -1)
      continue;
    std::cerr << "Bot " << bot->name() << " forfeits: " << problem->describe() << std::endl;
    forfeitWinner_ = team == 0 ? 1 : 0;
    const std::string reason = bot->name() + ": " + bots::faultName(problem->fault) +
                               " on turn " + std::to_string(problem->turn);
    if (winnerBoard_.forfeit(forfeitWinner_, teamNames_, reason) && winnerPanel_)
      winnerPanel_->setVisible(true);
  }
}

void RaceSimulation::step(float dt, const std::vector<Influence>& influences) {
  BaseSimulation::step(dt, influences);
  statistics_.record(physics_.getCurrentState());
}

void RaceSimulation::update(float dt, float interpolation) {
  BaseSimulation::update(dt, interpolation);
  placeSidePanel(vexa::inputManager().mousePosition());
}

void RaceSimulation::placeSidePanel(const Vec2& mouse) {
  sidePanelRule_.update(mouse.x, size_.x, cSidePanelWidth);
  if (sidePanel_)
    sidePanel_->setPosition(sidePanelRule_.isOpen() ? 0.f : cSidePanelWidth, 0.f);
}

void RaceSimulation::updateLayout(float width, float height) {
  size_ = {width, height};
  if (!sidePanel_)
    return;
  const float x = width - 100.f;
  toMenuButton_->setPosition(x, 40.f);
  debugButton_->setPosition(x, 60.f);
  fixCameraButton_->setPosition(x, 80.f);
  speedLabel_->setPosition(x, 112.f);
  for (int i = 0; i < cSpeedButtonCount; ++i)
    speedButtons_[static_cast<std::size_t>(i)]->setPosition(
        width - 200.f + 16.f + 33.6f * static_cast<float>(i), 135.f);
  themeLabel_->setPosition(x, 167.f);
  for (std::size_t t = 0; t < themeButtons_.size(); ++t)
    themeButtons_[t]->setPosition(width - 200.f + 49.f + 102.f * static_cast<float>(t), 190.f);
  saveReplayButton_->setPosition(x, 222.f);
  menuTab_->setPosition(width - cSidePanelWidth - menuTab_->globalBounds().width / 2.f - 1.f, 110.f);

  winnerRect_ = sf::FloatRect(width / 2.f - cWinnerWidth / 2.f, height / 2.f - cWinnerHeight / 2.f,
                              cWinnerWidth, cWinnerHeight);
  const float buttonY = winnerRect_.top + winnerRect_.height - 10.f - 14.f;
  restartButton_->setPosition(width / 2.f - cWinnerWidth / 4.f, buttonY);
  menuButton_->setPosition(width / 2.f + cWinnerWidth / 4.f, buttonY);
  placeSidePanel(vexa::components().inputManager() && vexa::components().graphics()
                     ? vexa::inputManager().mousePosition()
                     : Vec2(0.f, 0.f));
}

std::string RaceSimulation::teamNameOf(std::uint32_t pod) const {
  const Race& race = physics_.getCurrentState();
  if (pod >= race.pods.size())
    return {};
  const auto team = static_cast<std::size_t>(race.pods[pod].team);
  return team < teamNames_.size() ? teamNames_[team] : std::string();
}

void RaceSimulation::draw(sf::RenderTarget& target, float frameTime, float interpolation,
                          float frameFraction) {
  BaseSimulation::draw(target, frameTime, interpolation, frameFraction);
  drawPanels(target, interpolation);
}

void RaceSimulation::drawPanels(sf::RenderTarget& target, float interpolation) {
  const sf::Vector2u size = target.getSize();
  size_ = {static_cast<float>(size.x), static_cast<float>(size.y)};
  sfmlutils::ViewGuard guard(target, sf::View(sf::FloatRect(0.f, 0.f, size_.x, size_.y)));
  drawTitle(target);
  drawTimeoutMeters(target, interpolation);
  drawRaceOrder(target);
  drawProgressBar(target);
  drawReplayLines(target);
  if (selectedPod_ >= 0)
    drawStatistics(target);
  drawKeyboardHelp(target);
  drawSidePanelBack(target);
  if (winnerBoard_.isFilled())
    drawWinner(target);
  target.draw(gui_);
}

void RaceSimulation::drawPodIcon(sf::RenderTarget& target, std::uint32_t pod, const Vec2& centre,
                                 float size) {
  const sf::Texture& texture = vexa::resourceManager().texture(
      PodResourceManager::themeTextureId(theme_, std::min<std::uint32_t>(pod, 3)));
  sf::Sprite icon(texture);
  sfmlutils::centerOrigin(icon);
  const float scale = size / static_cast<float>(std::max(1u, texture.getSize().x));
  icon.setScale(scale, scale);
  icon.setPosition(toSf(centre));
  target.draw(icon);
}

void RaceSimulation::drawTitle(sf::RenderTarget& target) {
  const float cx = size_.x / 2.f;
  sf::Sprite badge(vexa::resourceManager().texture(TextureId::UiGameMode));
  sfmlutils::topCenterOrigin(badge);
  badge.setPosition(cx, 0.f);
  target.draw(badge);

  const bool timeAttack = physics_.getCurrentState().timeAttack;
  sf::Text title = makeText(timeAttack ? 22 : 32);
  title.setLetterSpacing(1.5f);
  title.setOutlineThickness(1.f);
  title.setOutlineColor(sf::Color(10, 14, 24));
  if (timeAttack) {
    title.setString("TIME");
    sfmlutils::topCenterOrigin(title);
    title.setPosition(cx, 17.5f);
    target.draw(title);
    title.setString("ATTACK");
    sfmlutils::topCenterOrigin(title);
    title.setPosition(cx, 52.5f - 11.f);
    target.draw(title);
  } else {
    title.setString("RACE");
    sfmlutils::topCenterOrigin(title);
    title.setPosition(cx, 25.f);
    target.draw(title);
  }
}

void RaceSimulation::drawTimeoutMeters(sf::RenderTarget& target, float interpolation) {
  const Race& current = physics_.getCurrentState();
  const Race& previous = physics_.getPreviousState();
  if (current.pods.empty())
    return;
  float thresholds[2];
  sf::Color colours[2];
  if (current.timeAttack) {
    for (int side = 0; side < 2; ++side) {
      int pod = playerPods_[static_cast<std::size_t>(side)];
      if (pod < 0)
        pod = side;
      if (static_cast<std::size_t>(pod) >= current.pods.size()) {
        thresholds[side] = -1.f;
        continue;
      }
      thresholds[side] = timeAttackTimeoutThreshold(current, pod);
      colours[side] = RaceColours::pod(pod);
    }
  } else {
    for (int team = 0; team < 2; ++team) {
      thresholds[team] = raceTimeoutThreshold(previous, current, team, interpolation);
      colours[team] = RaceColours::raceFlash(team);
    }
  }
  sf::Sprite meter(meterTexture_);
  sfmlutils::centerOrigin(meter);
  const float scale = cMeterSize / static_cast<float>(meterTexture_.getSize().x);
  meter.setScale(scale, scale);
  for (int side = 0; side < 2; ++side) {
    if (thresholds[side] < 0.f)
      continue;
    timeoutShader_.setUniform("threshold", thresholds[side]);
    timeoutShader_.setUniform("color", sf::Glsl::Vec4(colours[side]));
    meter.setPosition(size_.x / 2.f + (side == 0 ? -cMeterOffset : cMeterOffset), 45.f);
    target.draw(meter, &timeoutShader_);
  }
}

void RaceSimulation::drawRaceOrder(sf::RenderTarget& target) {
  const Race& race = physics_.getCurrentState();
  if (race.pods.empty() || track_.checkpoints.empty())
    return;
  raceOrderList(race, track_, order_);
  const float height = static_cast<float>(race.pods.size()) * cLineHeight + 10.f;
  panelRect(target, {20.f, 20.f, cOrderPanelWidth, height});
  sf::Text text = makeText(13);
  sf::Text gap = makeText(13, cGapText);
  const float right = 20.f + cOrderPanelWidth - 8.f;
  for (std::size_t i = 0; i < order_.size(); ++i) {
    const RaceOrderEntry& e = order_[i];
    const float y = 20.f + 5.f + cLineHeight * static_cast<float>(i) + cLineHeight / 2.f;
    text.setString(std::to_string(e.place));
    sfmlutils::leftCenterOrigin(text);
    text.setPosition(30.f, y);
    target.draw(text);
    drawPodIcon(target, e.podId, {56.f, y}, 17.f);
    float nameEnd = right;
    if (!e.gap.empty()) {
      gap.setString(e.gap);
      sfmlutils::rightCenterOrigin(gap);
      gap.setPosition(right, y);
      target.draw(gap);
      nameEnd = right - gap.getLocalBounds().width - 10.f;
    }
    // Long team names are cut to leave the gap readable.
    std::string name = teamNameOf(e.podId);
    text.setString(name);
    while (name.size() > 1 && 72.f + text.getLocalBounds().width > nameEnd) {
      name.pop_back();
      text.setString(name + ".");
    }
    sfmlutils::leftCenterOrigin(text);
    text.setPosition(70.f, y);
    target.draw(text);
  }
}

void RaceSimulation::drawProgressBar(sf::RenderTarget& target) {
  const Race& race = physics_.getCurrentState();
  const int ticks = progressTickCount(track_);
  if (ticks <= 0)
    return;
  float left = 0.f;
  float width = 0.f;
  float y = 0.f;
  progressBarSpan(left, width, y);
  const float tick = width / static_cast<float>(ticks);
  panelRect(target, {left - 14.f, y - 22.f, width + 28.f, 40.f});
  sf::RectangleShape bar({width, 4.f});
  bar.setPosition(left, y - 2.f);
  bar.setFillColor(sf::Color(90, 110, 130));
  target.draw(bar);
  const int perLap = static_cast<int>(track_.checkpoints.size());
  for (int k = 0; k <= ticks; ++k) {
    const bool lap = k % perLap == 0;
    sf::RectangleShape mark({lap ? 2.f : 1.f, lap ? 16.f : 9.f});
    mark.setOrigin(mark.getSize() / 2.f);
    mark.setPosition(left + tick * static_cast<float>(k), y);
    mark.setFillColor(lap ? sf::Color(220, 230, 240) : sf::Color(140, 160, 180));
    target.draw(mark);
  }
  for (const PodState& p : race.pods) {
    const float x = left + progressTicks(p, track_) * tick;
    drawPodIcon(target, p.id, {x, y}, 20.f);
  }
}

void RaceSimulation::progressBarSpan(float& left, float& width, float& y) const {
  width = std::min(cProgressWidth, size_.x - 2.f * cSidePanelWidth);
  left = size_.x / 2.f - width / 2.f;
  y = size_.y - 36.f;
}

void RaceSimulation::drawStatistics(sf::RenderTarget& target) {
  Q_ASSERT(selectedPod_ >= 0);
  const Race& race = physics_.getCurrentState();
  const auto pod = static_cast<std::size_t>(selectedPod_);
  if (pod >= race.pods.size() || pod >= statistics_.podCount())
    return;
  const float top = 20.f + static_cast<float>(race.pods.size()) * cLineHeight + 10.f + 12.f;
  const bool bot = statistics_.pod(pod).bot;
  const sf::FloatRect rect(20.f, top, cOrderPanelWidth, bot ? 215.f : 196.f);
  panelRect(target, rect);

  // Team plate: the mask part takes the pod's colour.
  vexa::ResourceManager& resources = vexa::resourceManager();
  sf::Sprite plate(resources.texture(TextureId::UiTeamName));
  sf::Sprite mask(resources.texture(TextureId::UiTeamNameMask));
  const float plateScale = (cOrderPanelWidth - 10.f) / 256.f;
  for (sf::Sprite* s : {&plate, &mask}) {
    s->setPosition(25.f, top + 5.f);
    s->setScale(plateScale, plateScale);
  }
  mask.setColor(RaceColours::pod(static_cast<int>(pod)));
  target.draw(plate);
  target.draw(mask);
  drawPodIcon(target, static_cast<std::uint32_t>(pod), {45.f, top + 5.f + 20.f * plateScale}, 26.f);
  sf::Text name = makeText(16);
  name.setString(teamNameOf(static_cast<std::uint32_t>(pod)));
  sfmlutils::leftCenterOrigin(name);
  name.setPosition(68.f, top + 5.f + 20.f * plateScale);
  target.draw(name);

  // One line at a time, so that the values line up on their right edge.
  const int rank = podRank(race, track_, static_cast<std::uint32_t>(pod));
  const std::string values = statisticsText(rank, race.pods[pod], statistics_.pod(pod));
  const std::string labels = std::string(cStatisticsLabels) + (bot ? cBotStatisticsLabel : "");
  sf::Text label = makeText(14, cDimText);
  sf::Text value = makeText(14);
  std::size_t labelStart = 0;
  std::size_t valueStart = 0;
  for (int line = 0; labelStart <= labels.size() && valueStart <= values.size(); ++line) {
    const std::size_t labelEnd = std::min(labels.find('\n', labelStart), labels.size());
    const std::size_t valueEnd = std::min(values.find('\n', valueStart), values.size());
    const float y = top + 62.f + 19.f * static_cast<float>(line);
    label.setString(labels.substr(labelStart, labelEnd - labelStart));
    sfmlutils::leftCenterOrigin(label);
    label.setPosition(32.f, y);
    target.draw(label);
    value.setString(values.substr(valueStart, valueEnd - valueStart));
    sfmlutils::rightCenterOrigin(value);
    value.setPosition(20.f + cOrderPanelWidth - 14.f, y);
    target.draw(value);
    labelStart = labelEnd + 1;
    valueStart = valueEnd + 1;
  }
}

void RaceSimulation::drawKeyboardHelp(sf::RenderTarget& target) {
  if (gameTime_ > 0.f || !hasKeyboardPlayer())
    return;
  vexa::ResourceManager& resources = vexa::resourceManager();
  for (int p = 0; p < 2; ++p) {
    if (playerPods_[static_cast<std::size_t>(p)] < 0)
      continue;
    sf::Sprite help(resources.texture(p == 0 ? TextureId::KeysP1 : TextureId::KeysP2));
    sfmlutils::centerOrigin(help);
    help.setScale(0.8f, 0.8f);
    help.setPosition(p == 0 ? size_.x / 4.f : 3.f * size_.x / 4.f, size_.y / 2.f);
    target.draw(help);
  }
}

void RaceSimulation::drawSidePanelBack(sf::RenderTarget& target) {
  if (!sidePanel_)
    return;
  const float offset = sidePanel_->getPosition().x;
  panelRect(target, {size_.x - 210.f + offset, 26.f, 212.f, 214.f});
}

void RaceSimulation::drawWinner(sf::RenderTarget& target) {
  panelRect(target, winnerRect_);
  sf::Text title = makeText(30, sf::Color(254, 175, 73));
  title.setOutlineThickness(1.f);
  title.setOutlineColor(sf::Color::Black);
  title.setString(winnerBoard_.title());
  sfmlutils::centerOrigin(title);
  title.setPosition(size_.x / 2.f, size_.y / 2.f - 40.f);
  target.draw(title);
  sf::Text team = makeText(24);
  team.setString(winnerBoard_.teamName());
  sfmlutils::centerOrigin(team);
  team.setPosition(size_.x / 2.f, size_.y / 2.f + 5.f);
  target.draw(team);
  if (!winnerBoard_.reason().empty()) {
    sf::Text reason = makeText(13, cDimText);
    reason.setString(winnerBoard_.reason());
    sfmlutils::centerOrigin(reason);
    reason.setPosition(size_.x / 2.f, size_.y / 2.f + 32.f);
    target.draw(reason);
  }
}

} // namespace pod
