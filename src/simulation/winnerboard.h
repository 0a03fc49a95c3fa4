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

  // Fills the texts when the race has a winner and they are still empty.
  // Returns true only on the call that fills them.
  bool update(const Race& race, const std::vector<std::string>& teamNames);
  // A bot forfeited: `winner` wins, and the panel says why. Returns true only
  // on the call that fills the texts.
  bool forfeit(int winner, const std::vector<std::string>& teamNames, const std::string& reason);

  // Fills the texts with anything else to say at the end (a replay without
  // a winner).
  void show(const std::string& title, const std::string& teamName);

  bool isFilled() const { return !title_.empty(); }
  const std::string& title() const { return title_; }
  const std::string& teamName() const { return teamName_; }
  // Empty unless the race ended by a forfeit.
  const std::string& reason() const { return reason_; }

private:
  std::string title_;
  std::string teamName_;
  std::string reason_;
};

} // namespace pod
