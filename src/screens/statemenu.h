#pragma once

#include "bots/gamebotbrain.h"
#include "brains/abstractbrain.h"
#include "race/track.h"
#include "screens/replaylist.h"
#include "screens/rowlayout.h"

#include <vexa/core/abstractstate.h>
#include <vexa/gui/scenegraph.h>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pod {

struct Settings;

class ColoredPushButton;
class PodStateManager;

namespace RaceTeamButtons {
// The driver choices of each team column, in button order.
enum : int {
  Steering = 0,
  Genetic = 1,
  PredictiveGenetic = 2,
  GeneticRunners = 3,
  GeneticSeparate = 4,
  GeneticTwoRunners = 5,
  PlayerAndBlocker = 6,
  TwoPlayers = 7,
  COUNT = 8
};
} // namespace RaceTeamButtons

namespace TimeAttackToggles {
enum : int { Steering = 0, Genetic = 1, Player1 = 2, Player2 = 3, COUNT = 4 };
} // namespace TimeAttackToggles

// The main menu: game mode, the driver of each team, the track, and the
// launch of a race. Everything is done with the mouse.
class StateMenu : public vexa::AbstractState {
public:
  static constexpr std::uint32_t cStateId = 0;

  StateMenu();
  ~StateMenu() override;

  bool cleanup() override;
  void draw(float dt, float interpolation) override;
  bool init() override;
  void reserved() override;
  void update(float dt) override;
  void updateLayout() override;
  // Only input changes the menu, once the trivia panel has stopped sliding.
  bool isStill() const override { return triviaResting_; }

  // Builds the brains and the configuration from the current choices and
  // hands them to the state manager. Does nothing while "RACE !" is hidden.
  void launchRace();
  // The choices remembered between runs: applied once at start-up, read at exit.
  void applySettings(const Settings& settings);
  void rememberChoices(Settings& settings) const;

  // -1 clears the team's choice.
  void selectTeam1(int i);
  void selectTeam2(int i);
  void swapTeams();
  void selectTrack(int k);
  // Reads the tracks folder again and rebuilds the track row, keeping the
  // selected track by file name when it is still there.
  void reloadTracks();
  void setRaceMode();
  void setTimeAttackMode();
  void toggleTimeAttackDriver(int j);
  void refreshRaceButton();
  void nextTrivia();

  static std::string brainLabel(int i);
  // The label of a team choice, external bots (vuzuder --bot) included: they
  // follow the built-in drivers as choices RaceTeamButtons::COUNT + k.
  std::string choiceLabel(int i) const;
  int choiceCount() const;
  static std::string timeAttackLabel(int j);
  static std::string timeAttackTeamName(int j);
  // Null when the driver cannot be built (reported on standard error).
  std::unique_ptr<AbstractBrain> createBrain(int i) const;
  std::unique_ptr<AbstractBrain> createTimeAttackBrain(int j) const;

  int team1Choice() const { return team1Choice_; }
  int team2Choice() const { return team2Choice_; }
  int selectedTrack() const { return selectedTrack_; }
  bool isTimeAttack() const { return timeAttack_; }
  bool canRace() const;
  const std::vector<Track>& tracks() const { return tracks_; }

  ColoredPushButton* raceButton() const { return raceButton_; }
  ColoredPushButton* swapButton() const { return swapButton_; }
  ColoredPushButton* quitButton() const { return quitButton_; }
  ColoredPushButton* timeAttackButton() const { return timeAttackButton_; }
  ColoredPushButton* raceModeButton() const { return raceModeButton_; }
  ColoredPushButton* vfxButton() const { return vfxButton_; }
  ColoredPushButton* editorButton() const { return editorButton_; }
  ColoredPushButton* moreTriviaButton() const { return moreTriviaButton_; }
  ColoredPushButton* team1Button(int i) const;
  ColoredPushButton* team2Button(int i) const;
  ColoredPushButton* timeAttackToggle(int j) const;
  // Any choice, built-in or bot; null for -1.
  ColoredPushButton* choiceButton(bool team1, int i) const;
  ColoredPushButton* botToggle(int k) const { return botToggles_.at(k); }
  ColoredPushButton* trackButton(int k) const;
  const std::vector<ColoredPushButton*>& trackButtons() const { return trackButtons_; }
  // Shown when the track buttons take more than their rows: turn pages.
  ColoredPushButton* previousTracksButton() const { return previousTracks_; }
  ColoredPushButton* nextTracksButton() const { return nextTracks_; }
  int trackPage() const { return trackPage_; }
  void showTrackPage(int page);
  // A credit line's page, in the desktop's browser; when nothing opens it the
  // menu says so (openStatus) as soon as it knows.
  void openPage(const std::string& page);
  const sf::Text& openStatus() const { return openStatus_; }
  ColoredPushButton* artCreditButton() const { return artCreditButton_; }
  ColoredPushButton* codeCreditButton() const { return codeCreditButton_; }
  vexa::SceneGraph& sceneGraph() { return sceneGraph_; }
  ReplayList& replayList() { return replayList_; }

  const sf::Text& teamsHeading() const { return teamsTitle_; }
  const sf::Text& team1Description() const { return team1Description_; }
  const sf::Text& team2Description() const { return team2Description_; }
  int triviaIndex() const { return triviaIndex_; }
  const std::vector<std::string>& trivia() const { return trivia_; }
  const sf::Text& triviaText() const { return triviaText_; }
  bool isTriviaHovered() const { return triviaHovered_; }
  bool isTriviaTextShown() const { return triviaTextShown_; }
  const sf::Vector2f& triviaAnchor() const { return triviaAnchor_; }
  sf::FloatRect triviaPanelRect() const { return triviaPanel_.getGlobalBounds(); }
  // One step of the trivia panel's slide, with the mouse at mouse (window
  // pixels) in a window of the given size.
  void slideTrivia(const sf::Vector2f& mouse, const sf::Vector2u& windowSize);
  // What the menu draws besides its buttons (panels, titles, pictures, the
  // trivia panel's visible part), named, as laid out now.
  std::vector<std::pair<std::string, sf::FloatRect>> panelBoxes() const;
  // Where a team's description panel is drawn.
  sf::FloatRect descriptionPanelRect(bool team1) const;
  const sf::Text& rulesText() const { return timeAttack_ ? timeAttackRules_ : raceRules_; }
  sf::FloatRect modePanelRect() const { return modePanel_.getGlobalBounds(); }

protected:
  void loadTracks();
  void loadTrackFolder(const std::string& folder, bool player);
  void buildButtons();
  void buildTrackButtons();
  void describe(sf::Text& text, int i, bool forTeam1);

private:
  // The bots' buttons and toggles (statemenubots.cpp).
  void buildBotButtons();
  void layoutBotButtons(const sf::Vector2f& centre);
  float teamRowY(int i) const;
  // Time attack races at most four pods, bots included.
  bool roomInTimeAttack() const;
  std::unique_ptr<AbstractBrain> createBotBrain(int k) const;

  PodStateManager* podStateManager() const;
  sf::Vector2u windowSize() const;
  float descriptionPanelX(bool team1) const;
  void placeMarker(bool team1);
  void placeTrackButtons();
  void setTeamsHeading(const char* heading);
  void pollOpens();
  void setOpenStatus(const std::string& text);
  void setUpTexts();
  void setUpSprites();
  void fitSprite(sf::Sprite& sprite, float maxWidth, float maxHeight);
  void cacheBackground(const sf::Vector2u& size);
  static std::uint32_t menuBackgroundId();

  int selectedTrack_ = 0;
  int team1Choice_ = -1;
  int team2Choice_ = -1;
  bool timeAttack_ = false;
  std::vector<Track> tracks_;
  std::vector<std::string> trackFiles_;  // the path of each track
  std::size_t playerTrackCount_ = 0;      // the last of tracks_ are the player's

  vexa::SceneGraph sceneGraph_;
  ColoredPushButton* raceButton_ = nullptr;
  ColoredPushButton* swapButton_ = nullptr;
  ColoredPushButton* quitButton_ = nullptr;
  ColoredPushButton* timeAttackButton_ = nullptr;
  ColoredPushButton* raceModeButton_ = nullptr;
  ColoredPushButton* vfxButton_ = nullptr;
  ColoredPushButton* editorButton_ = nullptr;
  ColoredPushButton* artCreditButton_ = nullptr;
  ColoredPushButton* codeCreditButton_ = nullptr;
  ColoredPushButton* moreTriviaButton_ = nullptr;
  std::array<ColoredPushButton*, TimeAttackToggles::COUNT> timeAttackToggles_{};
  std::array<ColoredPushButton*, RaceTeamButtons::COUNT> team1Buttons_{};
  std::array<ColoredPushButton*, RaceTeamButtons::COUNT> team2Buttons_{};
  std::vector<ColoredPushButton*> trackButtons_;
  vexa::SceneNode* trackRow_ = nullptr;
  ColoredPushButton* previousTracks_ = nullptr;
  ColoredPushButton* nextTracks_ = nullptr;
  RowBand trackBand_;
  int trackPage_ = 0;
  ReplayList replayList_;
  std::vector<ColoredPushButton*> bot1Buttons_;
  std::vector<ColoredPushButton*> bot2Buttons_;
  std::vector<ColoredPushButton*> botToggles_;
  std::vector<bots::GameBot> bots_;

  sf::Text gameModeTitle_;
  sf::Text teamsTitle_;
  sf::Text tracksTitle_;
  sf::Text noTrackText_;
  sf::Text openStatus_;
  // Pages being opened: the report pipe of each, with its name.
  std::vector<std::pair<int, std::string>> pendingOpens_;

  sf::RectangleShape modePanel_;
  sf::Text timeAttackRules_;
  sf::Text raceRules_;

  sf::RectangleShape descriptionPanel_;
  sf::Text team1Description_;
  sf::Text team2Description_;
  sf::RectangleShape team1Marker_;
  sf::RectangleShape team2Marker_;

  sf::RectangleShape timeAttackPanel_;
  sf::Text timeAttackText_;

  sf::RectangleShape triviaPanel_;
  sf::Text triviaLabel_;
  sf::Text triviaText_;
  std::vector<std::string> trivia_;
  int triviaIndex_ = 0;
  bool triviaHovered_ = false;
  bool triviaTextShown_ = false;
  sf::Vector2f triviaAnchor_;
  bool triviaResting_ = false;

  sf::Sprite logo_;
  sf::Sprite background_;
  // The background rendered once at window size: the scaled, mipmapped
  // texture costs far more to draw every frame.
  std::unique_ptr<sf::RenderTexture> backgroundCache_;
  sf::Sprite logoCpp_;
  sf::Sprite logoSfml_;
  sf::Sprite logoTarvok_;
};

} // namespace pod
