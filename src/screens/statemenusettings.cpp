// The menu's choices carried from one run to the next.
#include "screens/statemenu.h"

#include "app/settings.h"

namespace pod {

void StateMenu::applySettings(const Settings& settings) {
  // A driver or track that is gone leaves the default: nothing chosen, the first track.
  const auto choice = [this](const std::string& label) {
    for (int i = 0; !label.empty() && i < choiceCount(); ++i)
      if (choiceLabel(i) == label)
        return i;
    return -1;
  };
  selectTeam1(choice(settings.team1));
  selectTeam2(choice(settings.team2));
  for (std::size_t k = 0; k < tracks_.size(); ++k) {
    if (tracks_[k].name == settings.track) {
      selectTrack(static_cast<int>(k));
      break;
    }
  }
  if (settings.timeAttack)
    setTimeAttackMode();
  else
    setRaceMode();
}

void StateMenu::rememberChoices(Settings& settings) const {
  settings.timeAttack = timeAttack_;
  settings.team1 = team1Choice_ >= 0 ? choiceLabel(team1Choice_) : "";
  settings.team2 = team2Choice_ >= 0 ? choiceLabel(team2Choice_) : "";
  if (selectedTrack_ >= 0 && selectedTrack_ < static_cast<int>(tracks_.size()))
    settings.track = tracks_[selectedTrack_].name;
}

} // namespace pod
