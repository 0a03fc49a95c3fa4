#include "screens/statemenu.h"

#include "app/coloredpushbutton.h"
#include "app/guifactory.h"
#include "app/inputbuttonstates.h"
#include "app/podpathmanager.h"
#include "app/podresourcemanager.h"
#include "app/podstatemanager.h"
#include "app/raceconfiguration.h"
#include "app/settings.h"
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
#include <iostream>
#include <unistd.h>
#include "screens/menustyle.h"

namespace pod {

using namespace menustyle;

StateMenu::StateMenu() : vexa::AbstractState(cStateId) {}

StateMenu::~StateMenu() {
  for (const auto& pending : pendingOpens_)
    ::close(pending.first);
}

bool StateMenu::cleanup() {
  sceneGraph_.clear();
  raceButton_ = swapButton_ = quitButton_ = nullptr;
  timeAttackButton_ = raceModeButton_ = vfxButton_ = editorButton_ = nullptr;
  trackRow_ = nullptr;
  previousTracks_ = nextTracks_ = nullptr;
  artCreditButton_ = codeCreditButton_ = moreTriviaButton_ = nullptr;
  timeAttackToggles_.fill(nullptr);
  team1Buttons_.fill(nullptr);
  team2Buttons_.fill(nullptr);
  trackButtons_.clear();
  bot1Buttons_.clear();
  bot2Buttons_.clear();
  botToggles_.clear();
  return true;
}

void StateMenu::reserved() {}

bool StateMenu::init() {
  loadTracks();
  buildButtons();
  if (!trackButtons_.empty())
    selectTrack(0);
  raceModeButton_->setToggled(true);
  timeAttackButton_->setToggled(false);

  setUpTexts();
  setUpSprites();

  selectTeam1(team1Choice_);
  selectTeam2(team2Choice_);
  setRaceMode();
  applySettings(settings());
  updateLayout();
  return true;
}

void StateMenu::loadTracks() {
  tracks_.clear();
  trackFiles_.clear();
  playerTrackCount_ = 0;
  std::string shipped = vexa::pathManager().resourcesPath() + "tracks/";
  std::string player = shipped;
  if (auto* paths = dynamic_cast<PodPathManager*>(&vexa::pathManager())) {
    shipped = paths->tracksPath();
    player = paths->playerTracksPath();
  }
  loadTrackFolder(shipped, false);
  std::error_code error;
  if (!std::filesystem::equivalent(player, shipped, error) && !error)
    loadTrackFolder(player, true);
}

// Sorted by name: the raw listing order changes from one file system to the
// next, and the track row should not. A player's track named like a shipped
// one is left out: the shipped one keeps its name.
void StateMenu::loadTrackFolder(const std::string& folder, bool player) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error))
    return;
  std::vector<std::filesystem::path> files;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError))
      files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());

  const std::size_t shippedCount = tracks_.size();
  for (const std::filesystem::path& file : files) {
    Track track;
    std::string why;
    if (!track.load(file.string(), &why)) {
      std::cout << "Failed to load track " << file.filename().string() << " (" << why << ")"
                << std::endl;
      continue;
    }
    const auto clash = std::find_if(tracks_.begin(), tracks_.begin() + shippedCount,
                                    [&](const Track& t) { return t.name == track.name; });
    if (player && clash != tracks_.begin() + shippedCount) {
      std::cout << "Skipped track " << file.string() << ": a shipped track is named '"
                << track.name << "'" << std::endl;
      continue;
    }
    std::cout << "Loaded track " << file.filename().string() << std::endl;
    tracks_.push_back(std::move(track));
    trackFiles_.push_back(file.string());
    if (player)
      ++playerTrackCount_;
  }
}

void StateMenu::reloadTracks() {
  if (!trackRow_)
    return;
  const std::string selected =
      selectedTrack_ < static_cast<int>(trackFiles_.size()) ? trackFiles_[selectedTrack_] : "";
  loadTracks();
  buildTrackButtons();
  const auto found = std::find(trackFiles_.begin(), trackFiles_.end(), selected);
  selectedTrack_ = 0;
  if (!tracks_.empty())
    selectTrack(found == trackFiles_.end() ? 0 : static_cast<int>(found - trackFiles_.begin()));
  refreshRaceButton();
  updateLayout();
}

ColoredPushButton* StateMenu::team1Button(int i) const {
  Q_ASSERT(i >= 0 && i < (int)RaceTeamButtons::COUNT);
  return team1Buttons_[i];
}

ColoredPushButton* StateMenu::team2Button(int i) const {
  Q_ASSERT(i >= 0 && i < (int)RaceTeamButtons::COUNT);
  return team2Buttons_[i];
}

ColoredPushButton* StateMenu::timeAttackToggle(int j) const {
  Q_ASSERT(j >= 0 && j < (int)TimeAttackToggles::COUNT);
  return timeAttackToggles_[j];
}

ColoredPushButton* StateMenu::trackButton(int k) const {
  Q_ASSERT(k >= 0 && k < (int)trackButtons_.size());
  return trackButtons_[k];
}

std::string StateMenu::brainLabel(int i) {
  Q_ASSERT(i >= 0 && i < (int)RaceTeamButtons::COUNT);
  return (i >= 0 && i < RaceTeamButtons::COUNT) ? kDriverLabels[i] : "";
}

std::string StateMenu::timeAttackLabel(int j) {
  Q_ASSERT(j >= 0 && j < (int)TimeAttackToggles::COUNT);
  return (j >= 0 && j < TimeAttackToggles::COUNT) ? kTimeAttackLabels[j] : "";
}

std::string StateMenu::timeAttackTeamName(int j) {
  Q_ASSERT(j >= 0 && j < (int)TimeAttackToggles::COUNT);
  return (j >= 0 && j < TimeAttackToggles::COUNT) ? kTimeAttackTeamNames[j] : "";
}

void StateMenu::selectTeam1(int i) {
  Q_ASSERT(i >= -1 && i < choiceCount());
  team1Choice_ = i;
  for (int k = 0; k < choiceCount(); ++k) {
    if (ColoredPushButton* button = choiceButton(true, k))
      button->setToggled(k == i);
  }
  if (i != -1) {
    if (keyboardConflict(i, team2Choice_))
      selectTeam2(RaceTeamButtons::Steering);
    describe(team1Description_, i, true);
    placeMarker(true);
  }
  refreshRaceButton();
}

void StateMenu::selectTeam2(int i) {
  Q_ASSERT(i >= -1 && i < choiceCount());
  team2Choice_ = i;
  for (int k = 0; k < choiceCount(); ++k) {
    if (ColoredPushButton* button = choiceButton(false, k))
      button->setToggled(k == i);
  }
  if (i != -1) {
    if (keyboardConflict(i, team1Choice_))
      selectTeam1(RaceTeamButtons::Steering);
    describe(team2Description_, i, false);
    placeMarker(false);
  }
  refreshRaceButton();
}

void StateMenu::swapTeams() {
  const int t = team1Choice_;
  selectTeam1(team2Choice_);
  selectTeam2(t);
}

void StateMenu::selectTrack(int k) {
  Q_ASSERT(k >= 0 && k < (int)tracks_.size());
  if (k < 0 || k >= static_cast<int>(tracks_.size()))
    return;
  selectedTrack_ = k;
  for (std::size_t n = 0; n < trackButtons_.size(); ++n)
    trackButtons_[n]->setToggled(static_cast<int>(n) == k);
  if (!trackButtons_.empty()) {
    trackPage_ = pageOf(static_cast<std::size_t>(k), trackButtons_.size(),
                        trackButtons_[0]->globalBounds().width, trackBand_);
    placeTrackButtons();
  }
}

void StateMenu::setRaceMode() {
  timeAttack_ = false;
  raceModeButton_->setToggled(true);
  timeAttackButton_->setToggled(false);
  setTeamsHeading("TEAMS");
  const auto show = [](ColoredPushButton* button, bool shown) {
    button->setVisible(shown);
    button->setEnabled(shown);
  };
  show(swapButton_, true);
  for (int i = 0; i < choiceCount(); ++i) {
    show(choiceButton(true, i), true);
    show(choiceButton(false, i), true);
  }
  for (ColoredPushButton* toggle : timeAttackToggles_)
    show(toggle, false);
  for (ColoredPushButton* toggle : botToggles_)
    show(toggle, false);
}

void StateMenu::setTeamsHeading(const char* heading) {
  teamsTitle_.setString(heading);
  sfmlutils::centerOrigin(teamsTitle_);
}

void StateMenu::setTimeAttackMode() {
  timeAttack_ = true;
  raceModeButton_->setToggled(false);
  timeAttackButton_->setToggled(true);
  // Every pod races for itself there.
  setTeamsHeading("DRIVERS");
  const auto show = [](ColoredPushButton* button, bool shown) {
    button->setVisible(shown);
    button->setEnabled(shown);
  };
  show(swapButton_, false);
  for (int i = 0; i < choiceCount(); ++i) {
    show(choiceButton(true, i), false);
    show(choiceButton(false, i), false);
  }
  for (ColoredPushButton* toggle : timeAttackToggles_)
    show(toggle, true);
  for (ColoredPushButton* toggle : botToggles_)
    show(toggle, true);
  refreshRaceButton();
}

void StateMenu::toggleTimeAttackDriver(int j) {
  if (!timeAttackToggle(j)->isToggledOn() && !roomInTimeAttack())
    return;
  timeAttackToggle(j)->toggle();
  refreshRaceButton();
}

bool StateMenu::canRace() const {
  if (tracks_.empty())
    return false;
  if (timeAttack_) {
    const auto on = [](const ColoredPushButton* t) { return t && t->isToggledOn(); };
    return std::any_of(timeAttackToggles_.begin(), timeAttackToggles_.end(), on) ||
           std::any_of(botToggles_.begin(), botToggles_.end(), on);
  }
  return team1Choice_ != -1 && team2Choice_ != -1;
}

void StateMenu::refreshRaceButton() {
  if (!raceButton_)
    return;
  const bool shown = canRace();
  raceButton_->setVisible(shown);
  raceButton_->setEnabled(shown);
}

std::unique_ptr<AbstractBrain> StateMenu::createBrain(int i) const {
  if (i >= RaceTeamButtons::COUNT && i < choiceCount())
    return createBotBrain(i - RaceTeamButtons::COUNT);
  Q_ASSERT_MSG(i >= 0 && i < (int)RaceTeamButtons::COUNT,
               "brain < (int)RaceTeamButtons::COUNT");
  switch (i) {
  case RaceTeamButtons::PlayerAndBlocker:
    return std::make_unique<PlayerBrain>(keyboardButtons());
  case RaceTeamButtons::TwoPlayers:
    return std::make_unique<TwoPlayerBrain>(keyboardButtons());
  default:
    break;
  }
  if (i < 0 || i >= RaceTeamButtons::COUNT)
    return nullptr;
  std::unique_ptr<AbstractBrain> brain = createDriver(brainLabel(i), false);
  if (!brain)
    std::cerr << "Driver not available: " << brainLabel(i) << std::endl;
  return brain;
}

std::unique_ptr<AbstractBrain> StateMenu::createTimeAttackBrain(int j) const {
  switch (j) {
  case TimeAttackToggles::Player1:
  case TimeAttackToggles::Player2: {
    auto brain = std::make_unique<PlayerBrain>(keyboardButtons());
    brain->setMainKeys(j == TimeAttackToggles::Player1);
    return brain;
  }
  default:
    break;
  }
  // The registry knows the time-attack drivers by their team names.
  std::unique_ptr<AbstractBrain> brain = createDriver(timeAttackTeamName(j), true);
  if (!brain)
    std::cerr << "Driver not available: " << timeAttackTeamName(j) << std::endl;
  return brain;
}

void StateMenu::launchRace() {
  if (!canRace())
    return;
  PodStateManager* states = podStateManager();
  Q_ASSERT(states);
  if (!states)
    return;

  RaceConfiguration config;
  config.timeAttack = timeAttack_;
  config.track = tracks_[selectedTrack_];

  if (!timeAttack_) {
    config.nbPodsPerTeam = 2;
    const int choices[2] = {team1Choice_, team2Choice_};
    for (int team = 0; team < 2; ++team) {
      std::unique_ptr<AbstractBrain> brain = createBrain(choices[team]);
      if (!brain)
        return;
      brain->setTeam(team);
      config.brains.push_back(std::move(brain));
      config.teamNames.push_back(choiceLabel(choices[team]));
    }
    if (team2Choice_ == RaceTeamButtons::PlayerAndBlocker)
      static_cast<PlayerBrain&>(*config.brains[1]).setMainKeys(false);

    // Pod p belongs to team p / 2.
    const bool keys1 = isKeyboardChoice(team1Choice_);
    if (team1Choice_ == RaceTeamButtons::PlayerAndBlocker) {
      config.player1Pod = 0;
      config.player2Pod = team2Choice_ == RaceTeamButtons::PlayerAndBlocker ? 2 : -1;
    } else if (team1Choice_ == RaceTeamButtons::TwoPlayers) {
      config.player1Pod = 0;
      config.player2Pod = 1;
    } else if (!keys1 && team2Choice_ == RaceTeamButtons::PlayerAndBlocker) {
      config.player1Pod = -1;
      config.player2Pod = 2;
    } else if (!keys1 && team2Choice_ == RaceTeamButtons::TwoPlayers) {
      config.player1Pod = 2;
      config.player2Pod = 3;
    }
  } else {
    config.nbPodsPerTeam = 1;
    for (int j = 0; j < TimeAttackToggles::COUNT; ++j) {
      if (!timeAttackToggles_[j]->isToggledOn())
        continue;
      std::unique_ptr<AbstractBrain> brain = createTimeAttackBrain(j);
      if (!brain)
        return;
      const int team = static_cast<int>(config.brains.size());
      brain->setTeam(team);
      if (j == TimeAttackToggles::Player1)
        config.player1Pod = team;
      if (j == TimeAttackToggles::Player2)
        config.player2Pod = team;
      config.brains.push_back(std::move(brain));
      config.teamNames.push_back(timeAttackTeamName(j));
    }
    for (std::size_t k = 0; k < botToggles_.size(); ++k) {
      if (!botToggles_[k]->isToggledOn())
        continue;
      std::unique_ptr<AbstractBrain> brain = createBotBrain(static_cast<int>(k));
      brain->setTeam(static_cast<int>(config.brains.size()));
      config.brains.push_back(std::move(brain));
      config.teamNames.push_back(choiceLabel(RaceTeamButtons::COUNT + static_cast<int>(k)));
    }
  }
  states->goToRace(std::move(config));
}

PodStateManager* StateMenu::podStateManager() const {
  return dynamic_cast<PodStateManager*>(vexa::components().stateManager());
}

} // namespace pod
