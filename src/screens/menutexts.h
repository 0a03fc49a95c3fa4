#pragma once

#include <string>
#include <vector>

// The words of the main menu: rules of each mode, the time-attack note, what
// each driver does, and the trivia.

namespace pod {

const std::string& timeAttackRulesText();
const std::string& raceRulesText();
const std::string& timeAttackExplanationText();

// Driver choice 0 to 7 of the team buttons; "Player and blocker" (6) reads
// differently for each team, whose keys differ. Empty for any other choice.
std::string driverDescription(int choice, bool forTeam1);
// The description of an external bot given with vuzuder --bot.
std::string botDescription(const std::string& name);

// The trivia, in the order the panel shows them.
const std::vector<std::string>& triviaEntries();

} // namespace pod
