// Drawing of the showcase: the six pages and the panels round them.
#include "screens/statevfx.h"

#include "app/coloredpushbutton.h"

#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <sfmlutils/convert.h>
#include <sfmlutils/origin.h>
#include <qutils/assert.h>
#include <sfmlutils/viewguard.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

namespace pod {

namespace {

const sf::Color cShieldColours[2] = {{105, 169, 207, 255}, {235, 82, 76, 255}};
const sf::Color cGlowColours[2] = {{61, 187, 178, 255}, {255, 145, 0, 255}};
const sf::Vector2f cShips[2] = {{-200.f, 0.f}, {200.f, 0.f}};
const sf::Vector2f cCheckpoints[2] = {{-300.f, 0.f}, {300.f, 0.f}};
// Particles run ten times slower than the page: their life is counted in
// hundredths of a second, too short to watch.
constexpr float cParticleSlowdown = 0.1f;

sf::Glsl::Vec4 glsl(const sf::Color& c) { return sf::Glsl::Vec4(c); }

} // namespace

void StateVFX::draw(float frameTime, float) {
  sf::RenderWindow* window = vexa::graphics().window();
  Q_ASSERT(window);
  if (!window || !ready_)
    return;
  const sf::Vector2f size = windowSize();
  slidePanels(vexa::inputManager().mousePosition(), size);

  controls_.easeSpeed(frameTime);
  const float scaled = controls_.advanceClocks(frameTime);
  const bool parameters = VfxControls::takesParameters(page());

  if (!controls_.autoDemo() && parameters) {
    directionLine_.setRotation(controls_.direction());
    directionLine_.setSize({controls_.intensity() * VfxControls::cReach, 1.f});
    window->draw(directionLine_);
  }
  {
    sfmlutils::ViewGuard guard(*window, camera_);
    drawPage(*window, scaled);
  }
  if (parameters)
    drawParameters(*window);
  window->draw(titleBar_);
  if (parameters)
    drawControlsFrame(*window);
  window->draw(sceneGraph_);
  window->draw(titleText_);
  drawExplanation(*window);
  if (parameters)
    drawControlsText(*window);
}

void StateVFX::slidePanels(const qutils::Vec2& mouse, const sf::Vector2f& size) {
  const bool inWindow = mouse.x >= 0.f && mouse.y >= 0.f && mouse.x < size.x && mouse.y < size.y;
  const auto inside = [&](Panel& panel) {
    panel.shape.setPosition(sfmlutils::toSf(panel.anchor));
    return inWindow && panel.shape.getGlobalBounds().contains(mouse.x, mouse.y);
  };

  const float halfWidth = explanation_.shape.getSize().x / 2.f;
  explanation_.active = inside(explanation_);
  const float x = explanation_.active ? halfWidth : 30.f - halfWidth;
  explanation_.anchor = slideTowards(explanation_.anchor, {x, size.y - 145.f});
  explanation_.shape.setPosition(sfmlutils::toSf(explanation_.anchor));

  const float halfHeight = controlsPanel_.shape.getSize().y / 2.f;
  controlsPanel_.active = !controls_.autoDemo() || inside(controlsPanel_);
  const float y = controlsPanel_.active ? halfHeight : 25.f - halfHeight;
  controlsPanel_.anchor = slideTowards(controlsPanel_.anchor, {305.f, y});
  controlsPanel_.shape.setPosition(sfmlutils::toSf(controlsPanel_.anchor));
}

void StateVFX::drawPage(sf::RenderTarget& target, float scaled) {
  const float particleTime = scaled * cParticleSlowdown;
  switch (page()) {
  case 0:
    drawEngineTrail(target, particleTime);
    break;
  case 1:
    drawSparks(target, particleTime);
    break;
  case 2:
    drawImpactWave(target);
    break;
  case 3:
    drawShield(target);
    break;
  case 4:
    drawShieldAndImpact(target);
    break;
  default:
    drawCheckpointGlow(target);
    break;
  }
}

void StateVFX::drawEngineTrail(sf::RenderTarget& target, float particleTime) {
  controls_.wrapPageTime(12.f);
  controls_.latch(controls_.intensity(), controls_.direction());
  // The pods fly away from the pointer: the camera follows them while the
  // particles stay where they were born, which draws the trail.
  const float angle = 180.f - controls_.usedDirection();
  const float distance = controls_.speed() / 100.f * controls_.usedIntensity();
  camera_.move(qutils::Vec2::fromAngle(angle) * distance);
  const sf::Vector2f camera = camera_.getPosition();
  const float thrust = 200.f * controls_.usedIntensity();
  for (std::size_t i = 0; i < engines_.size(); ++i) {
    const float x = camera.x + (i == 0 ? -200.f : 200.f);
    engines_[i]->emit({x, camera.y}, angle, thrust, i == 0);
    engines_[i]->update(particleTime);
  }
  for (const auto& engine : engines_)
    target.draw(*engine, sf::RenderStates(sf::BlendAdd));
}

void StateVFX::drawSparks(sf::RenderTarget& target, float particleTime) {
  if (controls_.wrapPageTime(1.f)) {
    // Sparks leave a collision along the tangent: square to the direction.
    sparks_->emit({0.f, 0.f}, controls_.intensity(), 180.f - controls_.direction() + 90.f);
    controls_.latch(controls_.intensity(), controls_.direction());
  }
  sparks_->update(particleTime);
  target.draw(*sparks_, sf::RenderStates(sf::BlendAdd));
}

void StateVFX::feedImpact(float time) {
  impactShader_.setUniform("time", time);
  impactShader_.setUniform("factor", controls_.usedIntensity());
  impactShader_.setUniform("impactAngle", controls_.usedDirection());
}

void StateVFX::drawShips(sf::RenderTarget& target) {
  for (const sf::Vector2f& at : cShips) {
    shipSprite_.setPosition(at);
    target.draw(shipSprite_);
  }
}

// One canvas per ship, painted by up to two shaders, then laid over it.
void StateVFX::drawShieldCanvas(sf::RenderTarget& target, const sf::Vector2f& at,
                                sf::Shader* first, sf::Shader* second,
                                const sf::BlendMode& blend) {
  shieldTexture_.clear(sf::Color::Transparent);
  for (sf::Shader* shader : {first, second})
    if (shader)
      shieldTexture_.draw(shieldCircle_, sf::RenderStates(blend, sf::Transform::Identity,
                                                          nullptr, shader));
  shieldTexture_.display();
  shieldSprite_.setPosition(at);
  target.draw(shieldSprite_, sf::RenderStates(blend));
}

void StateVFX::drawImpactWave(sf::RenderTarget& target) {
  if (controls_.wrapPageTime(0.5f))
    controls_.latch(controls_.intensity(), 180.f - controls_.direction());
  feedImpact(controls_.pageTime());
  drawShips(target);
  for (const sf::Vector2f& at : cShips)
    drawShieldCanvas(target, at, &impactShader_, nullptr, sf::BlendAdd);
}

void StateVFX::drawShield(sf::RenderTarget& target) {
  controls_.wrapPageTime(3.5f);
  controls_.latch(0.f, 0.f);
  shieldShader_.setUniform("time", controls_.pageTime());
  drawShips(target);
  for (std::size_t i = 0; i < 2; ++i) {
    shieldShader_.setUniform("color", glsl(cShieldColours[i]));
    drawShieldCanvas(target, cShips[i], &shieldShader_, nullptr, sf::BlendAlpha);
  }
}

void StateVFX::drawShieldAndImpact(sf::RenderTarget& target) {
  controls_.wrapPageTime(4.f);
  controls_.latch(controls_.intensity(), 180.f - controls_.direction());
  const float time = controls_.pageTime();
  shieldShader_.setUniform("time", time);
  feedImpact(time - std::floor(time));
  drawShips(target);
  for (std::size_t i = 0; i < 2; ++i) {
    shieldShader_.setUniform("color", glsl(cShieldColours[i]));
    drawShieldCanvas(target, cShips[i], &shieldShader_, &impactShader_, sf::BlendAdd);
  }
}

void StateVFX::drawCheckpointGlow(sf::RenderTarget& target) {
  controls_.wrapPageTime(2.5f);
  controls_.latch(0.f, 0.f);
  // Both pads first: they overlap, and a pad must not cover the other's glow.
  for (const sf::Vector2f& at : cCheckpoints) {
    checkpointSprite_.setPosition(at);
    target.draw(checkpointSprite_);
  }
  flashShader_.setUniform("time", controls_.pageTime());
  const int modes[2] = {1, 0};
  for (std::size_t i = 0; i < 2; ++i) {
    flashShader_.setUniform("color", glsl(cGlowColours[i]));
    flashShader_.setUniform("mode", modes[i]);
    flashTexture_.clear(sf::Color::Transparent);
    flashTexture_.draw(flashQuad_, &flashShader_);
    flashTexture_.display();
    flashSprite_.setPosition(cCheckpoints[i]);
    target.draw(flashSprite_, sf::RenderStates(sf::BlendAdd));
  }
}

void StateVFX::drawParameters(sf::RenderTarget& target) {
  const long values[3] = {std::lround(controls_.usedDirection()),
                          std::lround(controls_.usedIntensity() * 100.f),
                          std::lround(controls_.speed())};
  if (!std::equal(std::begin(values), std::end(values), std::begin(shownParameters_))) {
    std::copy(std::begin(values), std::end(values), std::begin(shownParameters_));
    sf::String text = "Direction : " + std::to_string(values[0]);
    text += sf::String(static_cast<sf::Uint32>(0xB0));
    text += "\nIntensity : " + std::to_string(values[1]) + "%\nSpeed     : " +
            std::to_string(values[2]) + "%";
    parameters_.text.setString(text);
    sfmlutils::centerOrigin(parameters_.text);
  }
  const sf::Vector2f centre = parameters_.shape.getPosition();
  const sf::Vector2f half = parameters_.shape.getSize() / 2.f;
  const float textHalf = parameters_.text.getLocalBounds().height / 2.f;
  parameters_.text.setPosition(centre.x, centre.y + half.y - 10.f - textHalf);
  const float labelHalf = parameters_.label.getLocalBounds().height / 2.f;
  parameters_.label.setPosition(centre.x, centre.y - half.y + 5.f + labelHalf);
  target.draw(parameters_.shape);
  target.draw(parameters_.label);
  target.draw(parameters_.text);
}

void StateVFX::drawControlsFrame(sf::RenderTarget& target) {
  const qutils::Vec2& anchor = controlsPanel_.anchor;
  const float buttonHalf = demoButton_->globalBounds().height / 2.f;
  const float buttonY =
      anchor.y - controlsPanel_.shape.getSize().y / 2.f + 10.f + buttonHalf;
  demoButton_->setPosition(anchor.x, buttonY);
  if (!controls_.autoDemo()) {
    demoBar_.setSize({controls_.demoBarFraction() * 100.f, 1.f});
    sfmlutils::centerOrigin(demoBar_);
    demoBar_.setPosition(anchor.x, buttonY + 13.f);
    target.draw(demoBar_);
  }
  target.draw(controlsPanel_.shape);
}

void StateVFX::drawExplanation(sf::RenderTarget& target) {
  const sf::Vector2f anchor = sfmlutils::toSf(explanation_.anchor);
  target.draw(explanation_.shape);
  if (explanation_.active) {
    explanation_.text.setPosition(anchor);
    target.draw(explanation_.text);
  } else {
    explanation_.label.setPosition(anchor.x + explanation_.shape.getSize().x / 2.f - 15.f,
                                   anchor.y);
    target.draw(explanation_.label);
  }
}

void StateVFX::drawControlsText(sf::RenderTarget& target) {
  const bool open = controlsPanel_.active;
  if (open && controls_.autoDemo())
    return;
  sf::Text& text = open ? controlsPanel_.text : controlsPanel_.label;
  const float bottom = controlsPanel_.anchor.y + controlsPanel_.shape.getSize().y / 2.f;
  text.setPosition(controlsPanel_.anchor.x, bottom - 5.f - text.getLocalBounds().height / 2.f);
  target.draw(text);
}

} // namespace pod
