#include "simulation/winnerboard.h"

#include "race/racerules.h"

#include <algorithm>

namespace pod {

bool everyPodTimedOut(const Race& race) {
  return race.timeAttack && !race.pods.empty() &&
         std::all_of(race.pods.begin(), race.pods.end(),
                     [](const PodState& p) { return isTimedOut(p); });
}

void WinnerBoard::reset() {
  title_.clear();
  teamName_.clear();
  winner_ = -1;
  draw_ = false;
  reason_.clear();
  details_.clear();
}

bool WinnerBoard::forfeit(int winner, const std::vector<std::string>& teamNames,
                          const std::string& reason) {
  if (isFilled())
    return false;
  title_ = "Winner by forfeit";
  winner_ = winner;
  draw_ = winner < 0;
  const auto w = static_cast<std::size_t>(winner);
  teamName_ = winner >= 0 && w < teamNames.size() ? teamNames[w] : std::string();
  reason_ = reason;
  return true;
}

bool WinnerBoard::update(const Race& race, const std::vector<std::string>& teamNames) {
  if (isFilled())
    return false;
  if (race.winner < 0) {
    if (!everyPodTimedOut(race))
      return false;
    draw_ = true;
    title_ = "Draw";
    teamName_ = "Every pod timed out";
    return true;
  }
  winner_ = race.winner;
  title_ = race.byTimeout ? "Winner by timeout" : "Winner";
  const auto w = static_cast<std::size_t>(race.winner);
  teamName_ = w < teamNames.size() ? teamNames[w] : std::string();
  if (std::count(teamNames.begin(), teamNames.end(), teamName_) > 1)
    teamName_ += " (team " + std::to_string(race.winner + 1) + ")";
  return true;
}

void WinnerBoard::setDetails(const std::vector<std::string>& lines) {
  details_.clear();
  for (const std::string& line : lines) {
    if (!details_.empty())
      details_ += '\n';
    details_ += line.size() > cDetailChars ? line.substr(0, cDetailChars - 3) + "..." : line;
  }
}

void WinnerBoard::show(const std::string& title, const std::string& teamName) {
  title_ = title;
  teamName_ = teamName;
}

} // namespace pod
