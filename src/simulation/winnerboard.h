#pragma once

#include "race/race.h"

#include <string>
#include <vector>

namespace pod {

// The texts of the end-of-race panel, filled once per race: later turns do
// not change them even if another rule would apply.
class WinnerBoard {
public:
  void reset();

  // Fills the texts when the race is over and they are still empty: a
  // winner, or in time attack every pod timed out (a draw). In a mirror
  // match the winner's name says which team it is. Returns true only on the
  // call that fills them.
  bool update(const Race& race, const std::vector<std::string>& teamNames);
  // A bot forfeited: `winner` wins, and the panel says why. Returns true only
  // on the call that fills the texts.
  bool forfeit(int winner, const std::vector<std::string>& teamNames, const std::string& reason);

  // Fills the texts with anything else to say at the end (a replay without
  // a winner).
  void show(const std::string& title, const std::string& teamName);

  bool isFilled() const { return !title_.empty(); }
  bool isDraw() const { return draw_; }
  // The winning team, -1 before the end and for a draw.
  int winner() const { return winner_; }
  const std::string& title() const { return title_; }
  const std::string& teamName() const { return teamName_; }
  // Empty unless the race ended by a forfeit.
  const std::string& reason() const { return reason_; }
  // What the panel adds about the race's bots, a line each (cut to
  // cDetailChars); empty without.
  static constexpr std::size_t cDetailChars = 84;
  void setDetails(const std::vector<std::string>& lines);
  const std::string& details() const { return details_; }

private:
  std::string title_;
  std::string teamName_;
  std::string reason_;
  std::string details_;
  int winner_ = -1;
  bool draw_ = false;
};

// Whether every pod of a time attack has timed out: nobody can win any more.
bool everyPodTimedOut(const Race& race);

} // namespace pod
