#include "screens/statevfx.h"

#include "app/coloredpushbutton.h"
#include "app/guifactory.h"
#include "app/podresourcemanager.h"
#include "app/podstatemanager.h"
#include "screens/vfxtexts.h"

#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/pathmanager.h>
#include <vexa/core/resourcemanager.h>
#include <vexa/core/statemanager.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <qutils/assert.h>
#include <sfmlutils/origin.h>

// After the registry it relies on.
#include "screens/menustyle.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace pod {

namespace {

const sf::Color cPanelFill(128, 128, 128, 128);
const sf::Color cDirectionLine(32, 32, 32, 255);
constexpr float cDrawnPodRadius = 400.f / 2.34375f;
constexpr float cShieldMargin = 75.f;

bool loadShader(sf::Shader& shader, const char* file) {
  const std::string path = vexa::pathManager().shadersPath() + file;
  if (shader.loadFromFile(path, sf::Shader::Fragment))
    return true;
  std::cerr << "Failed to load shader " << path << std::endl;
  return false;
}

void setUpLabel(sf::Text& text, const char* string) {
  menustyle::setUpText(text, 20);
  text.setOutlineColor(sf::Color::Black);
  text.setOutlineThickness(1.f);
  text.setString(string);
  sfmlutils::centerOrigin(text);
}

// The largest character size up to size at which text fits in width; origin
// centred.
void fitText(sf::Text& text, float width, unsigned size) {
  text.setCharacterSize(size);
  while (width > 0.f && size > 10 && text.getLocalBounds().width > width)
    text.setCharacterSize(--size);
  sfmlutils::centerOrigin(text);
}

void setUpPanelShape(sf::RectangleShape& shape, const sf::Vector2f& size) {
  shape.setSize(size);
  shape.setFillColor(cPanelFill);
  sfmlutils::centerOrigin(shape);
}

} // namespace

StateVFX::StateVFX() : vexa::AbstractState(cStateId) {}

StateVFX::~StateVFX() = default;

bool StateVFX::cleanup() {
  sceneGraph_.clear();
  previousButton_ = nextButton_ = menuButton_ = demoButton_ = nullptr;
  ready_ = false;
  return true;
}

void StateVFX::reserved() {}

// The showcase's shaders, canvases and textures are set up on the first
// visit: the menu comes up sooner, smaller.
bool StateVFX::init() { return true; }

bool StateVFX::prepare() {
  if (ready_)
    return true;
  sf::RenderWindow* window = vexa::graphics().window();
  Q_ASSERT(window);
  if (!window)
    return false;

  cleanup();
  buildButtons();
  setUpPanels();

  camera_.setWindow(window);
  camera_.resetToWindow();
  camera_.setPosition(0.f, 0.f);

  vexa::ResourceManager& resources = vexa::resourceManager();
  for (auto& engine : engines_) {
    engine = std::make_unique<EngineParticleSystem>(resources.texture(TextureId::ParticleEngine));
    engine->setTimeScale(1.f);
  }
  sparks_ = std::make_unique<SparksParticleSystem>(resources.texture(TextureId::ParticleSpark));
  sparks_->setTimeScale(1.f);

  if (!setUpEffects()) {
    std::cerr << "The showcase could not be set up." << std::endl;
    return false;
  }

  demoButton_->setToggled(controls_.autoDemo());
  ready_ = true;
  setPage(controls_.page());
  updateLayout();
  return true;
}

void StateVFX::buildButtons() {
  auto& factory = dynamic_cast<GuiFactory&>(vexa::guiFactory());
  vexa::SceneNode& root = sceneGraph_.root();

  const auto arrow = [&](const char* label) {
    ColoredPushButton* button = factory.createButton(&root);
    GuiFactory::resize(*button, 30.f, 60.f);
    button->setString(label);
    button->text().setCharacterSize(20);
    button->updateLayout();
    return button;
  };
  previousButton_ = arrow("<");
  previousButton_->setCallback([this] { changePage(VfxControls::previousPage(page())); });
  nextButton_ = arrow(">");
  nextButton_->setCallback([this] { changePage(VfxControls::nextPage(page())); });

  menuButton_ = factory.createButton(&root);
  GuiFactory::resize(*menuButton_, 100.f, 20.f);
  menuButton_->setString("Menu");
  menuButton_->setCallback([this] { leave(); });

  demoButton_ = factory.createToggleButton(&root);
  GuiFactory::resize(*demoButton_, 100.f, 20.f);
  demoButton_->setString("Automatic demo");
  demoButton_->setCallback([this] { toggleDemo(); });
  menustyle::fitLabels(std::array<ColoredPushButton*, 1>{demoButton_});
}

void StateVFX::setUpPanels() {
  titleBar_.setFillColor(cPanelFill);
  menustyle::setUpText(titleText_, 20);

  setUpPanelShape(explanation_.shape, {550.f, 250.f});
  setUpLabel(explanation_.label, "T\nR\nI\nV\nI\nA");
  menustyle::setUpText(explanation_.text, 13);

  setUpPanelShape(controlsPanel_.shape, {250.f, 75.f});
  setUpLabel(controlsPanel_.label, "CONTROLS");
  menustyle::setUpText(controlsPanel_.text, 13);
  controlsPanel_.text.setString("Left click  : intensity/direction\nScroll      : speed");
  // The font runs a little wide for the panel at 13.
  fitText(controlsPanel_.text, controlsPanel_.shape.getSize().x - 10.f, 13);

  setUpPanelShape(parameters_.shape, {150.f, 100.f});
  setUpLabel(parameters_.label, "PARAMETERS");
  menustyle::setUpText(parameters_.text, 13);

  directionLine_.setFillColor(cDirectionLine);
  directionLine_.setSize({0.f, 1.f});
  directionLine_.setOrigin(0.f, 0.5f);
  demoBar_.setFillColor(sf::Color::White);
}

bool StateVFX::setUpEffects() {
  if (!sf::Shader::isAvailable()) {
    std::cerr << "Shaders are not available" << std::endl;
    return false;
  }
  vexa::ResourceManager& resources = vexa::resourceManager();
  shipSprite_.setTexture(
      resources.texture(PodResourceManager::themeTextureId(0, ThemeTexture::Pod2Team2)), true);
  sfmlutils::centerOrigin(shipSprite_);

  const auto side = static_cast<unsigned>(2.f * cDrawnPodRadius + cShieldMargin);
  if (!shieldTexture_.create(side, side))
    return false;
  shieldTexture_.setSmooth(true);
  if (!loadShader(shieldShader_, "fsshield.h") || !loadShader(impactShader_, "fsshieldimpact.h"))
    return false;
  const float half = static_cast<float>(side) / 2.f;
  const sf::Glsl::Vec2 resolution(2.f * half, 2.f * half);
  shieldShader_.setUniform("resolution", resolution);
  impactShader_.setUniform("resolution", resolution);
  impactShader_.setUniform("color", sf::Glsl::Vec4(sf::Color::White));
  shieldCircle_.setPointCount(30);
  shieldCircle_.setRadius(half);
  shieldCircle_.setFillColor(sf::Color::Transparent);
  shieldCircle_.setOutlineThickness(0.f);
  shieldCircle_.setOrigin(half, half);
  shieldCircle_.setPosition(half, half);

  checkpointSprite_.setTexture(
      resources.texture(PodResourceManager::themeTextureId(0, ThemeTexture::Checkpoint)), true);
  sfmlutils::centerOrigin(checkpointSprite_);
  const sf::FloatRect pad = checkpointSprite_.getLocalBounds();
  const auto flashSide = static_cast<unsigned>(std::max(pad.width, pad.height));
  if (!flashTexture_.create(flashSide, flashSide) ||
      !loadShader(flashShader_, "fscheckpointflash.h"))
    return false;
  flashTexture_.setSmooth(true);
  const float flashSize = static_cast<float>(flashSide);
  flashShader_.setUniform("resolution", sf::Glsl::Vec2(flashSize, flashSize));
  flashShader_.setUniform("texture", resources.texture(PodResourceManager::themeTextureId(
                                         0, ThemeTexture::CheckpointFlashMask)));
  flashQuad_.setSize({flashSize, flashSize});

  shieldSprite_.setTexture(shieldTexture_.getTexture(), true);
  sfmlutils::centerOrigin(shieldSprite_);
  flashSprite_.setTexture(flashTexture_.getTexture(), true);
  sfmlutils::centerOrigin(flashSprite_);
  // The glow's mask is drawn for a canvas shown 1.2 times the pad's size, as
  // in a race.
  flashSprite_.setScale(1.2f, 1.2f);
  return true;
}

void StateVFX::setPage(int page) {
  Q_ASSERT(page >= 0 && page < VfxControls::cPageCount);
  page = std::clamp(page, 0, VfxControls::cPageCount - 1);
  clearParticles();
  camera_.setPosition(0.f, 0.f);
  controls_.setPage(page);
  // Sparks fly a long way in a short time: the camera steps back for them.
  camera_.setZoom(page == 1 ? 4.f : 1.f);

  titleText_.setString(vfxPageTitle(page));
  fitTitle();
  menustyle::wrapAndCentre(explanation_.text, vfxExplanation(page),
                           explanation_.shape.getSize().x - 10.f);
}

// The longer titles would run under the arrows at full size.
void StateVFX::fitTitle() { fitText(titleText_, titleBar_.getSize().x - 10.f, 20); }

void StateVFX::changePage(int page) {
  setPage(page);
  if (!demoButton_)
    return;
  const bool shown = VfxControls::takesParameters(controls_.page());
  demoButton_->setVisible(shown);
  demoButton_->setEnabled(shown);
}

void StateVFX::clearParticles() {
  for (auto& engine : engines_)
    if (engine)
      engine->clear();
  if (sparks_)
    sparks_->clear();
}

void StateVFX::leave() {
  clearParticles();
  if (auto* states = dynamic_cast<PodStateManager*>(vexa::components().stateManager()))
    states->goToMenu();
}

void StateVFX::toggleDemo() {
  controls_.toggleDemo();
  followDemoButton();
}

void StateVFX::followDemoButton() {
  if (demoButton_ && demoButton_->isToggledOn() != controls_.autoDemo())
    demoButton_->setToggled(controls_.autoDemo());
}

std::vector<std::pair<std::string, sf::FloatRect>> StateVFX::panelBoxes() const {
  const sf::Vector2f size = windowSize();
  const sf::FloatRect window(0.f, 0.f, size.x, size.y);
  std::vector<std::pair<std::string, sf::FloatRect>> boxes = {
      {"title bar", titleBar_.getGlobalBounds()}, {"parameters", parameters_.shape.getGlobalBounds()}};
  for (const auto& [name, panel] :
       {std::pair{"explanation", &explanation_}, {"controls", &controlsPanel_}}) {
    sf::FloatRect shown;
    if (panel->shape.getGlobalBounds().intersects(window, shown))
      boxes.push_back({name, shown});
  }
  return boxes;
}

sf::Vector2f StateVFX::windowSize() const {
  const sf::RenderWindow* window = vexa::graphics().window();
  Q_ASSERT(window);
  if (!window)
    return {0.f, 0.f};
  const sf::Vector2f view = window->getView().getSize();
  return {std::fabs(view.x), std::fabs(view.y)};
}

bool StateVFX::overButton(const qutils::Vec2& mouse) const {
  for (const ColoredPushButton* button : {menuButton_, previousButton_, nextButton_, demoButton_})
    if (button && button->isVisible() && button->globalBounds().contains(mouse.x, mouse.y))
      return true;
  return false;
}

void StateVFX::update(float dt) {
  if (!vexa::components().graphics() || !vexa::graphics().window()) {
    vexa::AbstractState::update(dt);
    return;
  }
  step(dt, vexa::inputManager().mousePosition());
}

void StateVFX::step(float dt, const qutils::Vec2& mouse) {
  vexa::AbstractState::update(dt);
  if (!ready_)
    return;
  vexa::InputManager& input = vexa::inputManager();
  sceneGraph_.updateHover(mouse);
  if (input.isPressed("touch"))
    sceneGraph_.touchDown(mouse);
  if (input.isReleased("touch"))
    sceneGraph_.touchUp(mouse);

  if (input.isPressed("escape")) {
    leave();
    return;
  }
  if (input.isPressed("right"))
    changePage(VfxControls::nextPage(page()));
  else if (input.isPressed("left"))
    changePage(VfxControls::previousPage(page()));

  if (input.isPressed("zoomin"))
    controls_.speedUp();
  if (input.isPressed("zoomout"))
    controls_.slowDown();

  // A click quicker than an update step is pressed and released within it
  // and never seen held: it steers all the same.
  const bool touching = input.isHeld("touch") || input.isPressed("touch");
  if (touching && !overButton(mouse)) {
    const sf::Vector2f size = windowSize();
    controls_.steer(mouse - qutils::Vec2(size.x / 2.f, size.y / 2.f));
  }
  controls_.tick(dt);
  followDemoButton();
}

void StateVFX::updateLayout() {
  if (!ready_)
    return;
  const sf::Vector2f size = windowSize();
  const float w = size.x;
  const float h = size.y;
  const sf::Vector2f c(w / 2.f, h / 2.f);

  explanation_.anchor = {30.f - 550.f, 145.f};
  controlsPanel_.anchor = {305.f, 25.f - 37.5f};
  camera_.fitWindowSize();
  directionLine_.setPosition(c);

  demoButton_->setPosition(c.x, 150.f);
  // Where the menu has "Quit": the corners of both screens match.
  menuButton_->setPosition(w - 120.f, h - 30.f);
  previousButton_->setPosition(c.x - 100.f, 60.f);
  nextButton_->setPosition(c.x + 100.f, 60.f);

  const sf::FloatRect left = previousButton_->globalBounds();
  const sf::FloatRect right = nextButton_->globalBounds();
  titleBar_.setSize({right.left - (left.left + left.width), left.height});
  sfmlutils::centerOrigin(titleBar_);
  titleBar_.setPosition(c.x, 60.f);
  fitTitle();
  titleText_.setPosition(c.x, 60.f);
  parameters_.shape.setPosition(75.f, 50.f);
}

} // namespace pod
