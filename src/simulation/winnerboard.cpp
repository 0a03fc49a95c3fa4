#include "simulation/winnerboard.h"

namespace pod {

void WinnerBoard::reset() {
  title_.clear();
  teamName_.clear();
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
