#pragma once

#include "brains/abstractbrain.h"
#include "simulation/basesimulation.h"
#include "simulation/racehud.h"
#include "simulation/racepanels.h"
#include "simulation/racestatistics.h"
#include "simulation/sidepanelrule.h"
#include "simulation/textline.h"
#include "simulation/winnerboard.h"
#include "trace/trace.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vexa {
class SceneNode;
class ShapeShifterLabel;
} // namespace vexa

namespace pod {

class ColoredPushButton;

// The race that the race screen runs: owns the brains, asks them for
// influences every turn, keeps statistics, shows the winner and owns the
// in-race panels and buttons.
class RaceSimulation : public BaseSimulation {
public:
  static constexpr int cSpeedButtonCount = 6;
  static constexpr float cSidePanelWidth = 230.f;

  RaceSimulation();
  ~RaceSimulation() override;

  void draw(sf::RenderTarget& target, float frameTime, float interpolation,
            float frameFraction) override;
  bool initialise() override;
  // Deletes the previous race's brains and takes these, one per team.
  bool launch(bool timeAttack, int nbPodsPerTeam,
              std::vector<std::unique_ptr<AbstractBrain>> brains, const Track& track,
              const std::vector<std::string>& teamNames);
  void update(float dt, float interpolation) override;
  void step(float dt, const std::vector<Influence>& influences) override;
  void setFixCamera(bool fix) override;
  // A bot's forfeit decides a race as well as the race rules.
  int winner() const override;

  // One turn: influences from the brains (neutral once a winner is known),
  // one physics step, turn done on every brain, then the winner panel.
  void turn(float dt);

  // Replays: a recorded race on the same screen, panels and effects
  // included; no brain runs.
  bool launchReplay(Trace trace);
  // Shows the state after `turn` turns. One turn forward shows that turn's
  // events; any other move starts the effects over. The last turn shows the
  // end panel.
  void showReplayTurn(std::size_t turn, bool oneForward);
  bool isReplay() const { return replay_; }
  // A race: what was played so far, up to its winner. A replay: the trace.
  const Trace& recording() const { return recording_; }
  // Writes the recording into the replays folder under a new name; the
  // notice line says where, or why not. Returns the path, empty on failure.
  std::string saveReplay();
  // The turn whose leader stands where the mouse is on the progress bar;
  // false when the mouse is not on the bar.
  bool replayTurnAt(const Vec2& mouse, std::size_t& turn) const;
  // The line over the progress bar, and a notice shown for a few seconds.
  void setReplayStatus(const std::string& text) { replayStatus_ = text; }
  void showNotice(const std::string& text);
  void clearNotice();
  const std::string& notice() const { return notice_; }

  // Lays the panels and buttons out for a window of this size.
  void updateLayout(float width, float height);
  // Opens or closes the side panel for a mouse position (window pixels).
  void placeSidePanel(const Vec2& mouse);

  void selectTheme(std::uint32_t nb);
  void highlightSpeedButton(int index);
  // Deletes every brain: their worker threads end with them.
  void releaseBrains();
  void toggleDebugMode();

  ColoredPushButton* toMenuButton() const { return toMenuButton_; }
  ColoredPushButton* menuButton() const { return menuButton_; }
  ColoredPushButton* restartButton() const { return restartButton_; }
  const std::vector<ColoredPushButton*>& speedButtons() const { return speedButtons_; }
  ColoredPushButton* debugButton() const { return debugButton_; }
  ColoredPushButton* fixCameraButton() const { return fixCameraButton_; }
  ColoredPushButton* saveReplayButton() const { return saveReplayButton_; }
  const std::vector<ColoredPushButton*>& themeButtons() const { return themeButtons_; }

  std::size_t brainCount() const { return brains_.size(); }
  const AbstractBrain* brain(std::size_t team) const {
    return team < brains_.size() ? brains_[team].get() : nullptr;
  }
  const RaceStatistics& statistics() const { return statistics_; }
  const WinnerBoard& winnerBoard() const { return winnerBoard_; }
  // The race screen's warning about its bots, empty when there is none.
  const std::string& botWarning() const { return botWarning_; }
  bool isWinnerPanelShown() const;
  bool isSidePanelOpen() const { return sidePanelRule_.isOpen(); }
  const RaceHud& hud() const { return hud_; }
  const std::vector<RaceOrderEntry>& raceOrder() const { return order_; }
  // Where a keyboard player's key card was last drawn (window pixels); empty
  // when it was not.
  const sf::FloatRect& keyCard(int player) const { return keyCards_.at(static_cast<std::size_t>(player)); }

private:
  void drawPanels(sf::RenderTarget& target, float interpolation);
  void drawTimeoutMeters(sf::RenderTarget& target, float interpolation);
  void drawSidePanelBack(sf::RenderTarget& target);
  void drawKeyboardHelp(sf::RenderTarget& target);
  // A new recording for the race launched, with spare turns ready for it.
  void beginRecording();
  // The recording's turns become spares, their storage kept.
  void recycleRecording();
  // Keeps a played turn for "Save replay", until the race has a winner.
  void recordTurn(const std::vector<Influence>& influences, const Race& state);
  void drawReplayLines(sf::RenderTarget& target);
  sf::Text makeText(unsigned size, const sf::Color& colour = sf::Color::White) const;
  void checkBots();
  // The planners' thinking behind this turn's commands, for the panels.
  void checkPlanners();
  void showWinner();
  void drawBotWarning(sf::RenderTarget& target);

  std::vector<std::unique_ptr<AbstractBrain>> brains_;
  std::vector<Influence> influences_;
  RaceStatistics statistics_;
  WinnerBoard winnerBoard_;
  int forfeitWinner_ = -1;
  SidePanelRule sidePanelRule_;
  std::vector<RaceOrderEntry> order_;
  RaceHud hud_;
  std::vector<RaceHud::PlannerRow> plannerRows_;

  Trace recording_;
  // Turns with storage taken at launch, filled as the race is recorded.
  std::vector<TraceTurn> spareTurns_;
  bool replay_ = false;
  std::vector<float> leaderTicks_; // per replay turn, for seeking
  std::string replayStatus_;
  TextLine replayLine_;
  TextLine noticeLine_;
  std::string notice_;
  std::string botWarning_; // a line per bot in trouble, empty when none
  TextLine warningLine_;
  float noticeUntil_ = 0.f;

  vexa::SceneNode* sidePanel_ = nullptr;
  vexa::SceneNode* winnerPanel_ = nullptr;
  ColoredPushButton* toMenuButton_ = nullptr;
  ColoredPushButton* debugButton_ = nullptr;
  ColoredPushButton* fixCameraButton_ = nullptr;
  ColoredPushButton* menuButton_ = nullptr;
  ColoredPushButton* restartButton_ = nullptr;
  ColoredPushButton* saveReplayButton_ = nullptr;
  std::vector<ColoredPushButton*> speedButtons_;
  std::vector<ColoredPushButton*> themeButtons_;
  vexa::ShapeShifterLabel* speedLabel_ = nullptr;
  vexa::ShapeShifterLabel* themeLabel_ = nullptr;
  vexa::ShapeShifterLabel* menuTab_ = nullptr;

  sf::Shader timeoutShader_;
  sf::Texture meterTexture_;
  const sf::Font* font_ = nullptr;
  sf::Vector2f size_{1600.f, 900.f};
  sf::FloatRect winnerRect_;
  std::array<sf::FloatRect, 2> keyCards_{};
  std::array<int, 2> keyCardPlace_{-1, -1};
  std::vector<sf::FloatRect> podRects_;
};

} // namespace pod
