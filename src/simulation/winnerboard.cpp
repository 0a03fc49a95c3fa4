#include "simulation/winnerboard.h"

namespace pod {

void WinnerBoard::reset() {
  title_.clear();
  teamName_.clear();
  reason_.clear();
}

bool WinnerBoard::forfeit(int winner, const std::vector<std::string>& teamNames,
                          const std::string& reason) {
  if (isFilled())
    return false;
  title_ = "Winner by forfeit";
  const auto w = static_cast<std::size_t>(winner);
  teamName_ = winner >= 0 && w < teamNames.size() ? teamNames[w] : std::string();
  reason_ = reason;
  return true;
}

bool WinnerBoard::update(const Race& race, const std::vector<std::string>& teamNames) {
  if (race.winner < 0 || isFilled())
    return false;
  title_ = race.byTimeout ? "Winner by timeout" : "Winner";
  const auto w = static_cast<std::size_t>(race.winner);
  teamName_ = w < teamNames.size() ? teamNames[w] : std::string();
  return true;
}

void WinnerBoard::show(const std::string& title, const std::string& teamName) {
  title_ = title;
  teamName_ = teamName;
}

} // namespace pod
