#pragma once

#include "app/podcamera.h"
#include "particles/engineparticlesystem.h"
#include "particles/sparksparticlesystem.h"
#include "screens/vfxcontrols.h"

#include <vexa/core/abstractstate.h>
#include <vexa/gui/scenegraph.h>

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sf {
class RenderTarget;
}

namespace pod {

class ColoredPushButton;

// The visual-effects showcase: the race's effects one page each, driven by a
// direction, an intensity and a speed that the mouse sets or that an
// automatic demo animates.
class StateVFX : public vexa::AbstractState {
public:
  static constexpr std::uint32_t cStateId = 2;

  StateVFX();
  ~StateVFX() override;

  bool cleanup() override;
  void draw(float frameTime, float interpolation) override;
  bool init() override;
  void reserved() override;
  void update(float dt) override;
  void updateLayout() override;

  // Sets the showcase up on its first visit; false when it cannot be.
  bool prepare();
  void setPage(int page);
  // A page change asked for by the user: also shows or hides the demo button.
  void changePage(int page);
  void leave();
  void toggleDemo();

  // One update step with the pointer at mouse (window pixels); update(dt)
  // passes the real pointer.
  void step(float dt, const qutils::Vec2& mouse);

  const VfxControls& controls() const { return controls_; }
  int page() const { return controls_.page(); }
  ColoredPushButton* previousButton() const { return previousButton_; }
  ColoredPushButton* nextButton() const { return nextButton_; }
  ColoredPushButton* menuButton() const { return menuButton_; }
  ColoredPushButton* demoButton() const { return demoButton_; }
  const sf::Text& titleText() const { return titleText_; }
  const sf::Text& explanationText() const { return explanation_.text; }
  vexa::SceneGraph& sceneGraph() { return sceneGraph_; }
  // What the showcase draws besides its buttons: title bar, parameters and
  // the two sliding panels (their parts inside the window), named.
  std::vector<std::pair<std::string, sf::FloatRect>> panelBoxes() const;

private:
  // A panel that slides between a shown and a retracted place.
  struct Panel {
    sf::RectangleShape shape;
    sf::Text label;
    sf::Text text;
    qutils::Vec2 anchor;
    bool active = false;
  };

  void buildButtons();
  void setUpPanels();
  bool setUpEffects();
  bool overButton(const qutils::Vec2& mouse) const;
  sf::Vector2f windowSize() const;
  void followDemoButton();
  void fitTitle();
  void clearParticles();

  // Drawing, one concern each.
  void slidePanels(const qutils::Vec2& mouse, const sf::Vector2f& size);
  void drawPage(sf::RenderTarget& target, float scaled);
  void drawEngineTrail(sf::RenderTarget& target, float particleTime);
  void drawSparks(sf::RenderTarget& target, float particleTime);
  void drawImpactWave(sf::RenderTarget& target);
  void drawShield(sf::RenderTarget& target);
  void drawShieldAndImpact(sf::RenderTarget& target);
  void drawCheckpointGlow(sf::RenderTarget& target);
  void drawShips(sf::RenderTarget& target);
  void feedImpact(float time);
  void drawShieldCanvas(sf::RenderTarget& target, const sf::Vector2f& at, sf::Shader* first,
                        sf::Shader* second, const sf::BlendMode& blend);
  void drawParameters(sf::RenderTarget& target);
  void drawControlsFrame(sf::RenderTarget& target);
  void drawExplanation(sf::RenderTarget& target);
  void drawControlsText(sf::RenderTarget& target);

  VfxControls controls_;

  sf::Sprite shipSprite_;
  std::array<std::unique_ptr<EngineParticleSystem>, 2> engines_;
  std::unique_ptr<SparksParticleSystem> sparks_;
  sf::Shader shieldShader_;
  sf::Shader impactShader_;
  sf::RenderTexture shieldTexture_;
  sf::Sprite shieldSprite_;
  sf::CircleShape shieldCircle_;
  sf::Sprite checkpointSprite_;
  sf::RenderTexture flashTexture_;
  sf::Sprite flashSprite_;
  sf::Shader flashShader_;
  sf::RectangleShape flashQuad_;

  vexa::SceneGraph sceneGraph_;
  ColoredPushButton* previousButton_ = nullptr;
  ColoredPushButton* nextButton_ = nullptr;
  ColoredPushButton* menuButton_ = nullptr;
  ColoredPushButton* demoButton_ = nullptr;

  sf::RectangleShape titleBar_;
  sf::Text titleText_;
  PodCamera camera_;

  Panel explanation_;
  Panel controlsPanel_;
  Panel parameters_;
  sf::RectangleShape directionLine_;
  sf::RectangleShape demoBar_;
  // The figures last written into the parameters text.
  long shownParameters_[3] = {-1, -1, -1};
  bool ready_ = false;
};

} // namespace pod
