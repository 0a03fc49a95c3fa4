#include "simulation/racesimulation.h"

#include "app/coloredpushbutton.h"
#include "app/guifactory.h"
#include "app/podresourcemanager.h"
#include "bots/gamebotbrain.h"
#include "brains/plannerstats.h"
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

constexpr float cMeterSize = 40.f;
constexpr float cMeterOffset = 75.f;
constexpr float cWinnerWidth = 420.f;
constexpr float cWinnerHeight = 170.f;

} // namespace

RaceSimulation::RaceSimulation() = default;

RaceSimulation::~RaceSimulation() {
  // The brains' workers read the track and physics of the base: stop them
  // first.
  releaseBrains();
}

void RaceSimulation::releaseBrains() { brains_.clear(); }

bool RaceSimulation::initialise() {
  if (!BaseSimulation::initialise())
    return false;
  vexa::ResourceManager& resources = vexa::resourceManager();
  font_ = &resources.font(FontId::Main);
  hud_.setFont(*font_);

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
    GuiFactory::resize(*b, 29.f, 20.f);
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
    GuiFactory::resize(*b, 90.f, 20.f);
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
  // The drawing clock starts again: an old notice would show again with it.
  clearNotice();
  keyCardPlace_ = {-1, -1};
  winnerBoard_.reset();
  forfeitWinner_ = -1;
  botWarning_.clear();
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
  beginRecording();
  statistics_.reset(brains_.size() * static_cast<std::size_t>(nbPodsPerTeam));
  hud_.prepare(timeAttack, teamNames, track_);
  selectedPod_ = -1;
  order_.clear();
  plannerRows_.clear();
  return true;
}

void RaceSimulation::turn(float dt) {
  Q_ASSERT(!brains_.empty());
  if (brains_.empty())
    return;
  const Race& current = physics_.getCurrentState();
  influences_.clear();
  // Over: a winner, or a time attack in which every pod timed out.
  const bool over = winner() != -1 || winnerBoard_.isDraw();
  for (auto& brain : brains_) {
    if (!over) {
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
  if (!over)
    checkPlanners();
  step(dt, influences_);
  const Race& next = physics_.getCurrentState();
  for (auto& brain : brains_)
    brain->turnDone(next, dt);
  recordTurn(influences_, next);
  if (winnerBoard_.update(next, teamNames_))
    showWinner();
}

int RaceSimulation::winner() const {
  return forfeitWinner_ >= 0 ? forfeitWinner_ : BaseSimulation::winner();
}

// Bots' late turns go to their pods' statistics; in a team race the first
// bot to forfeit hands the race to the other team. A bot late on every turn
// lately, or one that could not be started, gets a warning line.
void RaceSimulation::checkBots() {
  const Race& race = physics_.getCurrentState();
  botWarning_.clear();
  for (std::size_t team = 0; team < brains_.size(); ++team) {
    const auto* bot = dynamic_cast<const bots::GameBotBrain*>(brains_[team].get());
    if (!bot)
      continue;
    for (int k = 0; k < race.nbPodsPerTeam; ++k)
      statistics_.setLateTurns(team * static_cast<std::size_t>(race.nbPodsPerTeam) +
                                   static_cast<std::size_t>(k),
                               bot->lateTurns());
    std::string warning;
    if (!bot->hostError().empty())
      warning = bot->name() + " could not be started: " + bot->hostError();
    // Once the race is decided the winner panel tells what went wrong.
    else if (bot->lateStreak() >= bots::kLateStreakWarning && !bot->forfeit() && winner() == -1)
      warning = bots::lateWarning(bot->name(), bot->lateStreak(), bot->recentAnswerMs(),
                                  bot->turnMs());
    if (!warning.empty())
      botWarning_ += (botWarning_.empty() ? "" : "\n") + warning;
    const bots::Problem* problem = bot->forfeit();
    if (!problem || race.timeAttack || winner() != -1)
      continue;
    std::cerr << "Bot " << bot->name() << " forfeits: " << problem->describe() << std::endl;
    forfeitWinner_ = team == 0 ? 1 : 0;
    const std::string reason = bot->name() + ": " + bots::faultName(problem->fault) +
                               " on turn " + std::to_string(problem->turn);
    if (winnerBoard_.forfeit(forfeitWinner_, teamNames_, reason))
      showWinner();
  }
}

void RaceSimulation::checkPlanners() {
  const int podsPerTeam = physics_.getCurrentState().nbPodsPerTeam;
  plannerRows_.clear();
  for (std::size_t team = 0; team < brains_.size(); ++team) {
    const auto* planner = dynamic_cast<const PlannerStats*>(brains_[team].get());
    if (!planner)
      continue;
    for (int k = 0; k < podsPerTeam; ++k) {
      const ThinkRecord& record = planner->thinkRecord(planner->plannerOf(k));
      statistics_.setPlanSteps(team * static_cast<std::size_t>(podsPerTeam) +
                                   static_cast<std::size_t>(k),
                               record.lastSteps, record.meanSteps());
    }
    for (int p = 0; p < planner->plannerCount(); ++p) {
      const ThinkRecord& record = planner->thinkRecord(p);
      RaceHud::PlannerRow row;
      row.team = team;
      row.pod = planner->plannerCount() > 1 ? p : -1;
      row.lastSteps = record.lastSteps;
      row.meanSteps = record.meanSteps();
      row.latePercent = record.turns == 0 ? 0.0
                                          : 100.0 * static_cast<double>(record.lateTurns) /
                                                static_cast<double>(record.turns);
      plannerRows_.push_back(row);
    }
  }
}

// The end-of-race panel, with what there is to say about the race's bots.
void RaceSimulation::showWinner() {
  std::vector<std::string> details;
  for (const auto& brain : brains_)
    if (const auto* bot = dynamic_cast<const bots::GameBotBrain*>(brain.get())) {
      const std::vector<std::string> lines =
          bots::botReport(bot->name(), bot->lateTurns(), bot->forfeit());
      details.insert(details.end(), lines.begin(), lines.end());
    }
  winnerBoard_.setDetails(details);
  botWarning_.clear();
  if (winnerPanel_)
    winnerPanel_->setVisible(true);
}

void RaceSimulation::step(float dt, const std::vector<Influence>& influences) {
  BaseSimulation::step(dt, influences);
  statistics_.record(physics_.getCurrentState());
}

void RaceSimulation::update(float dt, float interpolation) {
  BaseSimulation::update(dt, interpolation);
  placeSidePanel(mouse_);
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
  // Three separate rows for the three actions, and the speed and theme rows
  // kept clear of the window's edge.
  const float x = width - 106.f;
  toMenuButton_->setPosition(x, 40.f);
  debugButton_->setPosition(x, 68.f);
  fixCameraButton_->setPosition(x, 96.f);
  speedLabel_->setPosition(x, 126.f);
  for (int i = 0; i < cSpeedButtonCount; ++i)
    speedButtons_[static_cast<std::size_t>(i)]->setPosition(
        width - 181.5f + 31.f * static_cast<float>(i), 148.f);
  themeLabel_->setPosition(x, 178.f);
  for (std::size_t t = 0; t < themeButtons_.size(); ++t)
    themeButtons_[t]->setPosition(width - 153.f + 96.f * static_cast<float>(t), 200.f);
  saveReplayButton_->setPosition(x, 232.f);
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

void RaceSimulation::draw(sf::RenderTarget& target, float frameTime, float interpolation,
                          float frameFraction) {
  BaseSimulation::draw(target, frameTime, interpolation, frameFraction);
  drawPanels(target, interpolation);
}

void RaceSimulation::drawPanels(sf::RenderTarget& target, float interpolation) {
  const sf::Vector2u size = target.getSize();
  size_ = {static_cast<float>(size.x), static_cast<float>(size.y)};
  sfmlutils::ViewGuard guard(target, sf::View(sf::FloatRect(0.f, 0.f, size_.x, size_.y)));
  const Race& race = physics_.getCurrentState();
  hud_.drawTitle(target, size_.x);
  drawTimeoutMeters(target, interpolation);
  if (!race.pods.empty() && !track_.checkpoints.empty()) {
    raceOrderList(race, track_, order_);
    hud_.drawRaceOrder(target, order_, race, theme_);
  }
  hud_.drawProgressBar(target, race, track_, size_, cSidePanelWidth, theme_);
  drawReplayLines(target);
  if (selectedPod_ >= 0) {
    Q_ASSERT(selectedPod_ >= 0);
    hud_.drawStatistics(target, race, track_, statistics_,
                        static_cast<std::size_t>(selectedPod_), theme_);
  }
  if (debugMode())
    hud_.drawPlanners(target, plannerRows_, size_);
  drawKeyboardHelp(target);
  drawSidePanelBack(target);
  drawBotWarning(target);
  if (winnerBoard_.isFilled()) {
    hud_.drawWinner(target, winnerBoard_, winnerRect_);
    hud_.drawWinnerDetails(target, winnerBoard_, winnerRect_);
  }
  target.draw(gui_);
}

void RaceSimulation::drawBotWarning(sf::RenderTarget& target) {
  if (botWarning_.empty())
    return;
  if (!warningLine_.text.getFont()) {
    warningLine_.text = makeText(14, sf::Color(254, 175, 73));
    warningLine_.text.setOutlineThickness(1.f);
    warningLine_.text.setOutlineColor(sf::Color::Black);
  }
  if (warningLine_.set(botWarning_))
    sfmlutils::centerOrigin(warningLine_.text);
  // Above the progress bar and any notice there.
  const float y = RaceHud::progressBarSpan(size_, cSidePanelWidth).y;
  warningLine_.text.setPosition(size_.x / 2.f,
                                y - 56.f - warningLine_.text.getLocalBounds().height / 2.f);
  target.draw(warningLine_.text);
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

sf::Text RaceSimulation::makeText(unsigned size, const sf::Color& colour) const {
  sf::Text text;
  if (font_)
    text.setFont(*font_);
  text.setCharacterSize(size);
  text.setFillColor(colour);
  return text;
}

void RaceSimulation::drawKeyboardHelp(sf::RenderTarget& target) {
  keyCards_[0] = keyCards_[1] = sf::FloatRect();
  if (gameTime_ > 0.f || !hasKeyboardPlayer())
    return;
  // The pods on screen, with room for their labels: a card covers none.
  std::vector<sf::FloatRect>& pods = podRects_;
  pods.clear();
  const sf::View view = camera_.view();
  const float radius = 1.5f * cDrawnPodRadius / std::max(camera_.zoom(), 0.01f);
  for (const DrawnPod& p : drawn_) {
    const sf::Vector2i c = target.mapCoordsToPixel(toSf(p.position), view);
    pods.push_back({static_cast<float>(c.x) - radius, static_cast<float>(c.y) - radius,
                    2.f * radius, 2.f * radius});
  }
  vexa::ResourceManager& resources = vexa::resourceManager();
  const bool timeAttack = physics_.getCurrentState().timeAttack;
  for (int p = 0; p < 2; ++p) {
    if (playerPods_[static_cast<std::size_t>(p)] < 0)
      continue;
    sf::Sprite help(resources.texture(p == 0 ? TextureId::KeysP1 : TextureId::KeysP2));
    const float scale = timeAttack ? 0.6f : 0.8f;
    help.setScale(scale, scale);
    const sf::Vector2f card(help.getLocalBounds().width * scale,
                            help.getLocalBounds().height * scale);
    const float x = p == 0 ? size_.x / 4.f : 3.f * size_.x / 4.f;
    // The middle of its half, else low above the progress bar, else high
    // below the race order: the first place that leaves the pods in view.
    const float middle = size_.y / 2.f;
    const float low = size_.y - 70.f - card.y / 2.f;
    const float high = 20.f + hud_.orderPanelHeight() + 20.f + card.y / 2.f;
    const float places[3][3] = {{middle, low, high}, {low, high, middle}, {high, low, middle}};
    const float* order = places[timeAttack ? 1 : 0];
    int& chosen = keyCardPlace_[static_cast<std::size_t>(p)];
    const auto rectAt = [&](float y) {
      return sf::FloatRect(x - card.x / 2.f, y - card.y / 2.f, card.x, card.y);
    };
    const auto clear = [&](const sf::FloatRect& rect) {
      return std::none_of(pods.begin(), pods.end(),
                          [&rect](const sf::FloatRect& pod) { return pod.intersects(rect); });
    };
    // The place of the last frame while it stays clear: the card does not
    // jump about as the camera settles.
    if (chosen < 0 || chosen > 2 || !clear(rectAt(order[chosen]))) {
      chosen = -1;
      for (int k = 0; k < 3 && chosen < 0; ++k)
        if (clear(rectAt(order[k])))
          chosen = k;
    }
    if (chosen < 0)
      continue;
    keyCards_[static_cast<std::size_t>(p)] = rectAt(order[chosen]);
    help.setPosition(x - card.x / 2.f, order[chosen] - card.y / 2.f);
    target.draw(help);
  }
}

void RaceSimulation::drawSidePanelBack(sf::RenderTarget& target) {
  if (!sidePanel_)
    return;
  const float offset = sidePanel_->getPosition().x;
  hud_.drawPanel(target, {size_.x - 210.f + offset, 26.f, 212.f, 226.f});
}

} // namespace pod
