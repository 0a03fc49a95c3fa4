#include "simulation/basesimulation.h"

#include "app/podresourcemanager.h"

#include <qutils/assert.h>
#include <sfmlutils/convert.h>
#include <sfmlutils/origin.h>
#include <sfmlutils/viewguard.h>
#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/pathmanager.h>
#include <vexa/core/resourcemanager.h>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace pod {

namespace RaceColours {

namespace {
const sf::Color cPods[4] = {{105, 211, 244}, {72, 227, 184}, {255, 44, 44}, {255, 116, 231}};
const sf::Color cRaceFlashes[2] = {{61, 187, 178}, {255, 145, 0}};
const sf::Color cTrails[2] = {{91, 188, 246}, {154, 41, 41}};
const sf::Color cPlayerLabels[2] = {{112, 140, 162}, {176, 106, 98}};
} // namespace

const sf::Color& pod(int team) {
  Q_ASSERT(team < 4);
  return cPods[std::clamp(team, 0, 3)];
}

const sf::Color& raceFlash(int team) { return cRaceFlashes[team == 1 ? 1 : 0]; }

const sf::Color& trail(int index) { return cTrails[index == 1 ? 1 : 0]; }

const sf::Color& playerLabel(int podIndex) { return cPlayerLabels[podIndex > 1 ? 1 : 0]; }

} // namespace RaceColours

namespace {

using sfmlutils::toSf;

constexpr float cEngineOffset = 150.f;
constexpr float cShieldCanvasMargin = 75.f;
constexpr float cLabelHeight = 260.f;

// Hover ring and selection marker colours, per theme.
const sf::Color cHoverColours[2] = {{255, 255, 255, 150}, {140, 220, 255, 170}};
const sf::Color cSelectionOutline[2] = {{254, 175, 73, 230}, {255, 200, 90, 230}};
const sf::Color cSelectionFill[2] = {{254, 175, 73, 45}, {255, 200, 90, 40}};

sf::Glsl::Vec4 glslColour(const sf::Color& c) { return sf::Glsl::Vec4(c); }

// The pixel side at which an effect is shaded: what the sprite covers on
// screen, at most the whole canvas. A checkpoint flash on a 512 canvas shows
// about 120 pixels wide at the closest zoom; shading all 512 x 512 of it
// would be most of a frame's work under a software renderer.
unsigned shadedSide(const sf::RenderTarget& target, const sf::RenderTexture& canvas, float scale) {
  const unsigned side = canvas.getSize().x;
  const sf::Vector2f view = target.getView().getSize();
  const sf::Vector2u pixels = target.getSize();
  if (view.x == 0.f || pixels.x == 0)
    return side;
  const float perUnit = static_cast<float>(pixels.x) / std::fabs(view.x);
  const auto needed = static_cast<unsigned>(std::ceil(static_cast<float>(side) * scale * perUnit));
  return std::clamp(needed, std::min(32u, side), side);
}

// Runs a fragment shader over the bottom-left n x n corner of the canvas (the
// corner where gl_FragCoord starts at 0), with "resolution" set to n.
void paint(sf::RenderTexture& canvas, sf::Shader& shader, unsigned n) {
  const float side = static_cast<float>(canvas.getSize().x);
  const float size = static_cast<float>(n);
  shader.setUniform("resolution", sf::Glsl::Vec2(size, size));
  canvas.clear(sf::Color::Transparent);
  const sf::Vertex quad[4] = {{{0.f, side - size}}, {{size, side - size}},
                              {{size, side}}, {{0.f, side}}};
  canvas.draw(quad, 4, sf::Quads, &shader);
  canvas.display();
}

// Whether a square of this half side around position shows in the view.
bool inView(const sf::RenderTarget& target, const Vec2& position, float half) {
  const sf::View& view = target.getView();
  const sf::Vector2f c = view.getCenter();
  const sf::Vector2f s = view.getSize();
  return std::fabs(position.x - c.x) <= std::fabs(s.x) / 2.f + half &&
         std::fabs(position.y - c.y) <= std::fabs(s.y) / 2.f + half;
}

// Shows the shaded corner of the canvas, scaled back to the canvas's size.
void drawCanvas(sf::RenderTarget& target, const sf::RenderTexture& canvas, unsigned n,
                const Vec2& position, float scale) {
  const int side = static_cast<int>(canvas.getSize().x);
  const int shaded = static_cast<int>(n);
  sf::Sprite sprite(canvas.getTexture(), sf::IntRect(0, side - shaded, shaded, shaded));
  sfmlutils::centerOrigin(sprite);
  sprite.setPosition(toSf(position));
  const float s = scale * static_cast<float>(side) / static_cast<float>(n);
  sprite.setScale(s, s);
  target.draw(sprite, sf::RenderStates(sf::BlendAdd));
}

bool loadShader(sf::Shader& shader, const std::string& file) {
  const std::string path = vexa::pathManager().shadersPath() + file;
  if (!shader.loadFromFile(path, sf::Shader::Fragment)) {
    std::cerr << "Failed to load shader " << path << std::endl;
    return false;
  }
  return true;
}

} // namespace

BaseSimulation::BaseSimulation() = default;

BaseSimulation::~BaseSimulation() = default;

PodCamera& BaseSimulation::camera() { return camera_; }

const Physics& BaseSimulation::physics() const { return physics_; }

int BaseSimulation::winner() const { return physics_.getCurrentState().winner; }

void BaseSimulation::setFixCamera(bool fix) { fixCamera_ = fix; }

void BaseSimulation::setPlayerPods(int player1Pod, int player2Pod) {
  playerPods_ = {{player1Pod, player2Pod}};
}

bool BaseSimulation::initialise() {
  if (!sf::Shader::isAvailable()) {
    std::cerr << "Shaders are not available" << std::endl;
    return false;
  }
  vexa::ResourceManager& resources = vexa::resourceManager();
  const sf::Font& font = resources.font(FontId::Main);

  engines_.clear();
  for (int i = 0; i < 4; ++i) {
    engines_.push_back(
        std::make_unique<EngineParticleSystem>(resources.texture(TextureId::ParticleEngine)));
    engines_.back()->setTimeScale(1.f);
  }
  trails_ = std::make_unique<TrailParticleSystem>(resources.texture(TextureId::ParticleTrail),
                                                  RaceColours::trail(0), RaceColours::trail(1));
  trails_->setTimeScale(1.f);
  sparks_ = std::make_unique<SparksParticleSystem>(resources.texture(TextureId::ParticleSpark));
  sparks_->setTimeScale(1.f);

  // The flash canvas takes the checkpoint image's size, known once a race
  // loads it.
  const auto shieldSide = static_cast<unsigned>(2.f * cDrawnPodRadius + cShieldCanvasMargin);
  if (!shieldCanvas_.create(shieldSide, shieldSide) || !impactCanvas_.create(shieldSide, shieldSide))
    return false;
  shieldCanvas_.setSmooth(true);
  impactCanvas_.setSmooth(true);

  flashShaders_.clear();
  for (std::uint32_t t = 0; t < PodResourceManager::getNbThemes(); ++t) {
    auto shader = std::make_unique<sf::Shader>();
    if (!loadShader(*shader, "fscheckpointflash.h"))
      return false;
    flashShaders_.push_back(std::move(shader));
  }
  if (!loadShader(shieldShader_, "fsshield.h") || !loadShader(impactShader_, "fsshieldimpact.h"))
    return false;
  const sf::Glsl::Vec2 shieldResolution(static_cast<float>(shieldSide),
                                        static_cast<float>(shieldSide));
  shieldShader_.setUniform("resolution", shieldResolution);
  impactShader_.setUniform("resolution", shieldResolution);
  impactShader_.setUniform("color", glslColour(sf::Color::White));

  const float ring = cDrawnPodRadius - 2.f;
  for (sf::CircleShape* c : {&hoverRing_, &selectionMarker_}) {
    c->setRadius(ring);
    c->setOrigin(ring, ring);
    c->setOutlineThickness(10.f);
    c->setPointCount(60);
  }
  hoverRing_.setFillColor(sf::Color::Transparent);
  podDebugRing_.setRadius(cDrawnPodRadius);
  podDebugRing_.setOrigin(cDrawnPodRadius, cDrawnPodRadius);
  podDebugRing_.setOutlineThickness(5.f);
  podDebugRing_.setOutlineColor(sf::Color(255, 0, 0, 255));
  podDebugRing_.setFillColor(sf::Color::Transparent);
  podDebugRing_.setPointCount(60);
  checkpointDebugRing_.setRadius(cDrawnCheckpointRing);
  checkpointDebugRing_.setOrigin(cDrawnCheckpointRing, cDrawnCheckpointRing);
  checkpointDebugRing_.setOutlineThickness(5.f);
  checkpointDebugRing_.setOutlineColor(sf::Color(255, 255, 0, 255));
  checkpointDebugRing_.setFillColor(sf::Color::Transparent);
  checkpointDebugRing_.setPointCount(80);

  const char* timeouts[2] = {"Player 1\ntimeout !", "Player 2\ntimeout !"};
  for (std::size_t i = 0; i < 2; ++i) {
    sf::Text& t = timeoutTexts_[i];
    t.setFont(font);
    t.setString(timeouts[i]);
    t.setCharacterSize(130);
    t.setOutlineThickness(4.f);
    t.setOutlineColor(sf::Color::Black);
    t.setFillColor(sf::Color(255, 80, 60));
    sfmlutils::centerOrigin(t);
    t.setScale(1.f, -1.f);
  }
  playerLabel_.setFont(font);
  playerLabel_.setCharacterSize(110);
  playerLabel_.setOutlineThickness(4.f);
  playerLabel_.setOutlineColor(sf::Color::Black);
  playerLabel_.setScale(1.f, -1.f);

  cursor_.setTexture(resources.texture(TextureId::Cursor), true);
  sfmlutils::centerOrigin(cursor_);
  cursor_.setScale(1.2f, 1.2f);

  camera_.setMaxTargetDistance(1000.f);
  camera_.setSpeed(75.f);
  camera_.setZoomSpeed(0.5f);
  camera_.setViewport(sf::FloatRect(0.f, 0.f, 1.f, 1.f));
  if (sf::RenderWindow* window = vexa::graphics().window()) {
    camera_.setWindow(window);
    camera_.fitWindowSize();
  }
  initialised_ = true;
  return true;
}

bool BaseSimulation::launch(bool timeAttack, int nbPodsPerTeam, int nbTeams, const Track& track,
                            const std::vector<std::string>& teamNames) {
  elapsed_ = sf::Time::Zero;
  gameTime_ = 0.f;
  if (initialised_ && flashCanvas_.getSize().x == 0) {
    const sf::Texture& checkpoint = vexa::resourceManager().texture(
        PodResourceManager::themeTextureId(0, ThemeTexture::Checkpoint));
    const unsigned side = std::max(checkpoint.getSize().x, checkpoint.getSize().y);
    if (flashCanvas_.create(side, side))
      flashCanvas_.setSmooth(true);
  }
  if (initialised_) {
    trails_->setSegmentStride(nbTeams * nbPodsPerTeam);
    trails_->clear();
    for (auto& engine : engines_)
      engine->clear();
    sparks_->clear();
  }
  track_ = track;
  physics_.init(timeAttack, nbPodsPerTeam, nbTeams, &track_);
  effects_.clear();
  events_.clear();
  teamNames_ = teamNames;
  camera_.setPosition(0.f, 0.f);
  camera_.setZoom(5.f);
  selectedPod_ = -1;
  drawn_.clear();
  return true;
}

void BaseSimulation::step(float dt, const std::vector<Influence>& influences) {
  Q_ASSERT(influences.size() == physics_.getCurrentState().pods.size());
  events_.clear();
  physics_.step(influences, dt, events_);
  gameTime_ += dt;
}

void BaseSimulation::showRecordedStep(const Race& previous, const Race& current,
                                      const std::vector<PhysicsEvent>& events, float gameTime) {
  physics_.setStates(previous, current);
  events_ = events;
  gameTime_ = gameTime;
}

void BaseSimulation::clearEffects() {
  effects_.clear();
  events_.clear();
  dueSparks_.clear();
  if (!initialised_)
    return;
  trails_->clear();
  for (auto& engine : engines_)
    engine->clear();
  sparks_->clear();
}

sf::RenderTarget* BaseSimulation::pickingTarget() const {
  return vexa::components().graphics() ? vexa::graphics().window() : nullptr;
}

void BaseSimulation::interpolateDrawnPods(float interpolation) {
  drawnInterpolation_ = interpolation;
  interpolatePods(physics_.getPreviousState(), physics_.getCurrentState(), interpolation, drawn_);
}

int BaseSimulation::podUnderPixel(const Vec2& pixel) const {
  const sf::RenderTarget* target = pickingTarget();
  if (!target)
    return -1;
  const sf::View view = camera_.view();
  int nearest = -1;
  float best = 0.f;
  for (std::size_t i = 0; i < drawn_.size(); ++i) {
    const sf::Vector2i p = target->mapCoordsToPixel(toSf(drawn_[i].position), view);
    const float d = qutils::distance(pixel, Vec2(static_cast<float>(p.x), static_cast<float>(p.y)));
    if (nearest < 0 || d < best) {
      nearest = static_cast<int>(i);
      best = d;
    }
  }
  if (nearest >= 0 && best < cDrawnPodRadius / camera_.zoom())
    return nearest;
  return -1;
}

void BaseSimulation::update(float dt, float interpolation) {
  vexa::InputManager& input = vexa::inputManager();
  mouse_ = input.mousePosition();
  const Vec2 mouse = mouse_;
  gui_.updateHover(mouse);
  const bool pressed = input.isPressed("touch");
  if (pressed)
    gui_.touchDown(mouse);
  if (input.isReleased("touch"))
    gui_.touchUp(mouse);
  gui_.update(dt);
  if (pressed) {
    interpolateDrawnPods(interpolation);
    selectedPod_ = podUnderPixel(mouse);
  }
}

void BaseSimulation::draw(sf::RenderTarget& target, float frameTime, float interpolation,
                          float frameFraction) {
  // 1. Events become effect records, then everything ages.
  elapsed_ += sf::seconds(frameTime);
  const float now = elapsed_.asSeconds();
  const Race& current = physics_.getCurrentState();
  effects_.addEvents(events_, current, turnDuration_, interpolation, now);
  events_.clear();
  dueSparks_.clear();
  effects_.age(frameTime, frameFraction, now, dueSparks_);
  for (const SparkBurst& s : dueSparks_) {
    const float angle = s.direction.squaredLength() > 0.f ? s.direction.angle() : 0.f;
    sparks_->emit(s.position, s.strength, angle);
  }

  // 2. Where the pods are drawn.
  interpolateDrawnPods(interpolation);

  // 3. Camera.
  std::vector<Vec2>& points = focusPoints_;
  points.clear();
  if (current.winner < 0 && !fixCamera_) {
    if (selectedPod_ >= 0 && static_cast<std::size_t>(selectedPod_) < drawn_.size()) {
      points.push_back(drawn_[static_cast<std::size_t>(selectedPod_)].position);
      camera_.focusOn(points, 0.f);
      camera_.setSpeed(2.f);
      camera_.setZoomSpeed(0.75f);
      camera_.setMaxTargetDistance(10000.f);
    } else {
      for (const DrawnPod& p : drawn_)
        points.push_back(p.position);
      camera_.focusOn(points, 100.f);
      camera_.setSpeed(1.f);
      camera_.setZoomSpeed(0.5f);
      camera_.setMaxTargetDistance(1000.f);
    }
  } else {
    points.push_back(Vec2(0.f, 0.f));
    camera_.focusOn(points, 0.f);
  }
  camera_.update(frameTime);

  // 4. Background, in window pixels.
  drawBackground(target);

  sfmlutils::ViewGuard guard(target, camera_.view());
  // 5. Checkpoints.
  for (std::size_t k = 0; k < track_.checkpoints.size(); ++k)
    drawCheckpoint(k, toDrawing(track_.checkpoints[k].position), target);
  // 6. Trails and flames.
  feedParticles(target, frameTime);
  // 7. Hover ring and selection marker.
  drawOverlays(target);
  // 8. Pods.
  for (std::size_t i = 0; i < drawn_.size(); ++i)
    drawPod(i, interpolation, target);
  // 9. Sparks.
  sparks_->update(frameTime);
  target.draw(*sparks_, sf::RenderStates(sf::BlendAdd));
  // 10. Player labels for the first seconds.
  if (gameTime_ < 20.f) {
    const char* labels[2] = {"P1", "P2"};
    for (std::size_t p = 0; p < 2; ++p) {
      const int pod = playerPods_[p];
      if (pod >= 0 && static_cast<std::size_t>(pod) < drawn_.size())
        drawLabel(target, labels[p],
                  drawn_[static_cast<std::size_t>(pod)].position + Vec2(0.f, cLabelHeight),
                  RaceColours::playerLabel(pod));
    }
  }
  // 11. Timed-out keyboard players in time attack.
  if (current.timeAttack && gameTime_ > 0.f) {
    for (std::size_t p = 0; p < 2; ++p) {
      const int pod = playerPods_[p];
      if (pod < 0 || static_cast<std::size_t>(pod) >= drawn_.size())
        continue;
      if (physics_.isPodTimedOut(pod)) {
        timeoutTexts_[p].setPosition(toSf(drawn_[static_cast<std::size_t>(pod)].position));
        target.draw(timeoutTexts_[p]);
      }
    }
  }
}

void BaseSimulation::drawBackground(sf::RenderTarget& target) {
  const sf::Vector2u size = target.getSize();
  if (size.x == 0 || size.y == 0)
    return;
  // The scaled, mipmapped background is costly to sample: it is drawn once
  // per window size and theme, then copied pixel for pixel.
  if (backgroundSize_ != size || backgroundTheme_ != theme_) {
    const sf::Texture& texture = vexa::resourceManager().texture(
        PodResourceManager::themeTextureId(theme_, ThemeTexture::Background));
    const sf::Vector2u t = texture.getSize();
    if (t.x == 0 || t.y == 0 || !backgroundCache_.create(size.x, size.y))
      return;
    sf::Sprite background(texture);
    const float w = static_cast<float>(size.x);
    const float h = static_cast<float>(size.y);
    const float scale = std::max(w / static_cast<float>(t.x), h / static_cast<float>(t.y));
    background.setScale(scale, scale);
    sfmlutils::centerOrigin(background);
    background.setPosition(w / 2.f, h / 2.f);
    backgroundCache_.clear(sf::Color::Black);
    backgroundCache_.draw(background);
    backgroundCache_.display();
    backgroundSize_ = size;
    backgroundTheme_ = theme_;
  }
  backgroundCopy_.draw(backgroundCache_.getTexture(), target);
}

void BaseSimulation::feedParticles(sf::RenderTarget& target, float frameTime) {
  const Race& current = physics_.getCurrentState();
  for (auto& engine : engines_)
    engine->update(frameTime);
  trails_->update(frameTime);
  for (std::size_t i = 0; i < drawn_.size(); ++i) {
    const DrawnPod& p = drawn_[i];
    const int colour = current.timeAttack ? (i < 2 ? 0 : 1) : current.pods[i].team;
    trails_->addPoint(p.position, colour);
    if (p.engine != 0.f && i < engines_.size()) {
      const Vec2 heading = Vec2::fromAngle(p.angle);
      engines_[i]->emit(p.position - heading * cEngineOffset, p.angle, p.engine, i < 2);
    }
  }
  target.draw(*trails_);
  for (auto& engine : engines_)
    target.draw(*engine, sf::RenderStates(sf::BlendAdd));
}

void BaseSimulation::drawOverlays(sf::RenderTarget& target) {
  const std::size_t palette = theme_ == 0 ? 0 : 1;
  const int hovered = pickingTarget() ? podUnderPixel(mouse_) : -1;
  if (hovered >= 0) {
    hoverRing_.setOutlineColor(cHoverColours[palette]);
    hoverRing_.setPosition(toSf(drawn_[static_cast<std::size_t>(hovered)].position));
    target.draw(hoverRing_);
  }
  if (selectedPod_ >= 0 && static_cast<std::size_t>(selectedPod_) < drawn_.size()) {
    selectionMarker_.setOutlineColor(cSelectionOutline[palette]);
    selectionMarker_.setFillColor(cSelectionFill[palette]);
    selectionMarker_.setPosition(toSf(drawn_[static_cast<std::size_t>(selectedPod_)].position));
    target.draw(selectionMarker_);
  }
}

void BaseSimulation::drawCheckpoint(std::size_t index, const Vec2& position,
                                    sf::RenderTarget& target) {
  const sf::Texture& texture = vexa::resourceManager().texture(
      PodResourceManager::themeTextureId(theme_, ThemeTexture::Checkpoint));
  sf::Sprite sprite(texture);
  sfmlutils::centerOrigin(sprite);
  sprite.setPosition(toSf(position));
  target.draw(sprite);

  const int number =
      static_cast<int>(track_.checkpoints[index].id) - static_cast<int>(constants::kCheckpointIdOffset);
  const float now = elapsed_.asSeconds();
  if (physics_.getCurrentState().timeAttack) {
    if (const CheckpointFlash* f = effects_.newestFlash(number, -1, now))
      drawFlash(target, position, *f, 2, RaceColours::pod(f->team));
  } else {
    if (const CheckpointFlash* f = effects_.newestFlash(number, 0, now))
      drawFlash(target, position, *f, 1, RaceColours::raceFlash(0));
    if (const CheckpointFlash* f = effects_.newestFlash(number, 1, now))
      drawFlash(target, position, *f, 0, RaceColours::raceFlash(1));
  }
  if (debugMode_) {
    checkpointDebugRing_.setPosition(toSf(position));
    target.draw(checkpointDebugRing_);
  }
}

void BaseSimulation::drawFlash(sf::RenderTarget& target, const Vec2& position,
                               const CheckpointFlash& flash, int mode, const sf::Color& colour) {
  // Off-screen effects cost a whole canvas of shading for nothing.
  if (flashCanvas_.getSize().x == 0 ||
      !inView(target, position, static_cast<float>(flashCanvas_.getSize().x) * flashScale_ / 2.f))
    return;
  const std::size_t themeIndex = std::min<std::size_t>(theme_, flashShaders_.size() - 1);
  sf::Shader& shader = *flashShaders_[themeIndex];
  // Bound here rather than at start-up, so that the mask loads with its theme.
  shader.setUniform("texture", vexa::resourceManager().texture(PodResourceManager::themeTextureId(
                                   static_cast<std::uint32_t>(themeIndex),
                                   ThemeTexture::CheckpointFlashMask)));
  shader.setUniform("time", elapsed_.asSeconds() - flash.start);
  shader.setUniform("color", glslColour(colour));
  shader.setUniform("mode", mode);
  const unsigned n = shadedSide(target, flashCanvas_, flashScale_);
  paint(flashCanvas_, shader, n);
  drawCanvas(target, flashCanvas_, n, position, flashScale_);
}

void BaseSimulation::drawShield(sf::RenderTarget& target, const Vec2& position, float cooldown,
                                const sf::Color& colour) {
  if (!inView(target, position, static_cast<float>(shieldCanvas_.getSize().x) / 2.f))
    return;
  shieldShader_.setUniform("time", cooldown);
  shieldShader_.setUniform("color", glslColour(colour));
  const unsigned n = shadedSide(target, shieldCanvas_, 1.f);
  paint(shieldCanvas_, shieldShader_, n);
  drawCanvas(target, shieldCanvas_, n, position, 1.f);
}

void BaseSimulation::drawImpact(sf::RenderTarget& target, const Vec2& position,
                                const ShieldImpact& impact) {
  if (!inView(target, position, static_cast<float>(impactCanvas_.getSize().x) / 2.f))
    return;
  impactShader_.setUniform("time", impact.age);
  impactShader_.setUniform("factor", impact.strength);
  impactShader_.setUniform("impactAngle", impact.angle);
  const unsigned n = shadedSide(target, impactCanvas_, 1.f);
  paint(impactCanvas_, impactShader_, n);
  drawCanvas(target, impactCanvas_, n, position, 1.f);
}

void BaseSimulation::drawPod(std::size_t index, float interpolation, sf::RenderTarget& target) {
  (void)interpolation;
  if (index >= drawn_.size())
    return;
  const DrawnPod& p = drawn_[index];
  const Race& current = physics_.getCurrentState();
  const PodState& state = current.pods[index];

  sf::Sprite sprite(vexa::resourceManager().texture(PodResourceManager::themeTextureId(
      theme_, static_cast<std::uint32_t>(std::min<std::size_t>(index, 3)))));
  sfmlutils::centerOrigin(sprite);
  sprite.setPosition(toSf(p.position));
  sprite.setRotation(p.angle);
  target.draw(sprite);

  const int id = static_cast<int>(index);
  if ((id == playerPods_[0] || id == playerPods_[1]) && !track_.checkpoints.empty()) {
    const auto next = static_cast<std::size_t>(state.nextCheckpoint) % track_.checkpoints.size();
    const Vec2 towards = toDrawing(track_.checkpoints[next].position) - p.position;
    if (towards.squaredLength() > 0.f) {
      const Vec2 dir = towards.normalised();
      cursor_.setPosition(toSf(p.position + dir * cDrawnPodRadius));
      cursor_.setRotation(dir.angle());
      target.draw(cursor_);
    }
  }
  if (state.shieldCooldown > 0.f)
    drawShield(target, p.position, p.shieldCooldown, RaceColours::pod(id));
  for (const ShieldImpact& impact : effects_.impacts())
    if (impact.pod == id && impact.age >= 0.f)
      drawImpact(target, p.position, impact);
  if (debugMode_) {
    podDebugRing_.setPosition(toSf(p.position));
    target.draw(podDebugRing_);
  }
}

void BaseSimulation::drawLabel(sf::RenderTarget& target, const std::string& text, const Vec2& at,
                               const sf::Color& colour) {
  playerLabel_.setString(text);
  sfmlutils::centerOrigin(playerLabel_);
  playerLabel_.setFillColor(colour);
  playerLabel_.setPosition(toSf(at));
  target.draw(playerLabel_);
}

} // namespace pod
