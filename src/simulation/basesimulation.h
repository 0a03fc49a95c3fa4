#pragma once

#include "app/podcamera.h"
#include "particles/engineparticlesystem.h"
#include "particles/sparksparticlesystem.h"
#include "particles/trailparticlesystem.h"
#include "race/physics.h"
#include "race/physicsevent.h"
#include "race/track.h"
#include "simulation/effectrecords.h"
#include "simulation/interpolation.h"

#include <vexa/gui/scenegraph.h>

#include <sfmlutils/opaquecopy.h>

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Time.hpp>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace sf {
class RenderTarget;
}

namespace pod {

// Colour tables of the race scene.
namespace RaceColours {
// Shields, and checkpoint flashes in time attack; index < 4.
const sf::Color& pod(int team);
// Checkpoint flashes of team 0 and 1 in a race.
const sf::Color& raceFlash(int team);
// The two trail colours.
const sf::Color& trail(int index);
// The "P1" / "P2" label over a keyboard player's pod.
const sf::Color& playerLabel(int podIndex);
} // namespace RaceColours

// One race: owns the physics and the step's events, advances it by turns,
// keeps the previous and current states for interpolated drawing, lets the
// mouse pick a pod and draws the scene with its effects. The brains and the
// panels belong to the subclass.
class BaseSimulation {
public:
  static constexpr float cPodRadius = 400.f;
  static constexpr float cDrawnPodRadius = cPodRadius / cWorldPerDrawingUnit;
  static constexpr float cDrawnCheckpointRing = 600.f / cWorldPerDrawingUnit;

  BaseSimulation();
  virtual ~BaseSimulation();
  BaseSimulation(const BaseSimulation&) = delete;
  BaseSimulation& operator=(const BaseSimulation&) = delete;

  // The race scene, interpolated between the last two states.
  virtual void draw(sf::RenderTarget& target, float frameTime, float interpolation,
                    float frameFraction);
  virtual PodCamera& camera();
  virtual const Physics& physics() const;
  virtual int winner() const;
  // Loads shaders and builds the effect canvases; false when any fails.
  virtual bool initialise();
  // The track is copied: the physics and the brains refer to the copy.
  virtual bool launch(bool timeAttack, int nbPodsPerTeam, int nbTeams, const Track& track,
                      const std::vector<std::string>& teamNames);
  // GUI mouse handling and pod picking, every update step.
  virtual void update(float dt, float interpolation);
  // One physics step from one influence per pod.
  virtual void step(float dt, const std::vector<Influence>& influences);
  virtual void drawCheckpoint(std::size_t index, const Vec2& position, sf::RenderTarget& target);
  virtual void drawPod(std::size_t index, float interpolation, sf::RenderTarget& target);
  virtual void setFixCamera(bool fix);

  // Shows recorded states instead of stepping: the events are those of the
  // step that led to current, and game time is set, not added.
  void showRecordedStep(const Race& previous, const Race& current,
                        const std::vector<PhysicsEvent>& events, float gameTime);
  // Drops effects, particles and trails, for a jump in time.
  void clearEffects();

  // Game seconds of one turn (a trace may record another than 0.25 s).
  void setTurnTime(float turnTime) { turnTime_ = turnTime; }
  float turnTime() const { return turnTime_; }
  // The real seconds a turn takes on screen at the current speed: effects
  // are timed with it.
  void setTurnDuration(float seconds) { turnDuration_ = seconds; }
  float turnDuration() const { return turnDuration_; }
  void setDebugMode(bool debug) { debugMode_ = debug; }
  bool debugMode() const { return debugMode_; }
  bool fixCamera() const { return fixCamera_; }
  void setPlayerPods(int player1Pod, int player2Pod);
  int player1Pod() const { return playerPods_[0]; }
  int player2Pod() const { return playerPods_[1]; }
  bool hasKeyboardPlayer() const { return playerPods_[0] >= 0 || playerPods_[1] >= 0; }

  int selectedPod() const { return selectedPod_; }
  // The mouse selects through update; this is for tools and tests.
  void setSelectedPod(int pod) { selectedPod_ = pod; }
  float gameTime() const { return gameTime_; }
  // The interpolation the last drawn frame placed the pods with.
  float drawnInterpolation() const { return drawnInterpolation_; }
  float elapsed() const { return elapsed_.asSeconds(); }
  const std::vector<PhysicsEvent>& events() const { return events_; }
  const EffectRecords& effects() const { return effects_; }
  const Track& track() const { return track_; }
  const std::vector<std::string>& teamNames() const { return teamNames_; }
  std::uint32_t theme() const { return theme_; }
  vexa::SceneGraph& gui() { return gui_; }

protected:
  // The pod drawn nearest to a window pixel, if within picking distance.
  int podUnderPixel(const Vec2& pixel) const;
  // Makes the drawing positions of the pods for an interpolation.
  void interpolateDrawnPods(float interpolation);
  void setThemeIndex(std::uint32_t theme) { theme_ = theme; }
  sf::RenderTarget* pickingTarget() const;

  Physics physics_;
  std::vector<PhysicsEvent> events_;
  float turnTime_ = 0.25f;
  float turnDuration_ = 0.25f;
  std::vector<std::string> teamNames_;
  PodCamera camera_;
  bool fixCamera_ = false;
  vexa::SceneGraph gui_;
  float gameTime_ = 0.f;
  sf::Time elapsed_;
  int selectedPod_ = -1;
  bool debugMode_ = false;
  std::array<int, 2> playerPods_{{-1, -1}};

  Track track_;
  std::uint32_t theme_ = 0;
  EffectRecords effects_;
  std::vector<DrawnPod> drawn_;
  float drawnInterpolation_ = 0.f;
  // Where update last found the mouse (window pixels), for the rest of the
  // step and the frame drawn after it: asking the window system again costs
  // a round trip.
  Vec2 mouse_;

private:
  void feedParticles(sf::RenderTarget& target, float frameTime);
  void drawOverlays(sf::RenderTarget& target);
  void drawBackground(sf::RenderTarget& target);
  void drawFlash(sf::RenderTarget& target, const Vec2& position, const CheckpointFlash& flash,
                 int mode, const sf::Color& colour);
  void drawShield(sf::RenderTarget& target, const Vec2& position, float cooldown,
                  const sf::Color& colour);
  void drawImpact(sf::RenderTarget& target, const Vec2& position, const ShieldImpact& impact);
  void drawLabel(sf::RenderTarget& target, const std::string& text, const Vec2& at,
                 const sf::Color& colour);

  // Particles, created at initialise once the textures exist.
  std::vector<std::unique_ptr<EngineParticleSystem>> engines_;
  std::unique_ptr<TrailParticleSystem> trails_;
  std::unique_ptr<SparksParticleSystem> sparks_;
  std::vector<SparkBurst> dueSparks_;
  std::vector<Vec2> focusPoints_;

  // Effects: one flash shader per theme, each canvas drawn into once per
  // effect and shown as an additive sprite.
  std::vector<std::unique_ptr<sf::Shader>> flashShaders_;
  sf::Shader shieldShader_;
  sf::Shader impactShader_;
  sf::RenderTexture flashCanvas_;
  sf::RenderTexture shieldCanvas_;
  sf::RenderTexture impactCanvas_;
  sf::RenderTexture backgroundCache_;
  sfmlutils::OpaqueCopy backgroundCopy_;
  sf::Vector2u backgroundSize_;
  std::uint32_t backgroundTheme_ = 0;
  float flashScale_ = 1.2f;

  sf::CircleShape hoverRing_;
  sf::CircleShape selectionMarker_;
  sf::CircleShape podDebugRing_;
  sf::CircleShape checkpointDebugRing_;
  std::array<sf::Text, 2> timeoutTexts_;
  sf::Text playerLabel_;
  sf::Sprite cursor_;
  bool initialised_ = false;
};

} // namespace pod
