#include "screens/menutexts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> allTexts() {
  std::vector<std::string> texts = {pod::timeAttackRulesText(), pod::raceRulesText(),
                                    pod::timeAttackExplanationText()};
  for (int i = 0; i < 8; ++i) {
    texts.push_back(pod::driverDescription(i, true));
    texts.push_back(pod::driverDescription(i, false));
  }
  for (const std::string& entry : pod::triviaEntries())
    texts.push_back(entry);
  return texts;
}

TEST(MenuTexts, EveryDriverHasATitledDescription) {
  std::set<std::string> distinct;
  for (int i = 0; i < 8; ++i) {
    const std::string text = pod::driverDescription(i, true);
    SCOPED_TRACE(i);
    // A title line, a blank line, then the text.
    const auto title = text.find("\n\n");
    ASSERT_NE(title, std::string::npos);
    EXPECT_GT(title, 0u);
    EXPECT_GT(text.size(), title + 60);
    distinct.insert(text);
  }
  EXPECT_EQ(distinct.size(), 8u);
  EXPECT_TRUE(pod::driverDescription(-1, true).empty());
  EXPECT_TRUE(pod::driverDescription(8, false).empty());
}

TEST(MenuTexts, PlayerAndBlockerNamesEachTeamsKeys) {
  const std::string team1 = pod::driverDescription(6, true);
  const std::string team2 = pod::driverDescription(6, false);
  EXPECT_NE(team1.find("arrow"), std::string::npos);
  EXPECT_EQ(team1.find("Z / W"), std::string::npos);
  EXPECT_NE(team2.find("Z / W"), std::string::npos);
  EXPECT_NE(team2.find("A / Q"), std::string::npos);
  // Only that choice depends on the team.
  for (int i : {0, 1, 2, 3, 4, 5, 7})
    EXPECT_EQ(pod::driverDescription(i, true), pod::driverDescription(i, false));
}

TEST(MenuTexts, NineDistinctTrivia) {
  const std::vector<std::string>& trivia = pod::triviaEntries();
  ASSERT_EQ(trivia.size(), 9u);
  EXPECT_EQ(std::set<std::string>(trivia.begin(), trivia.end()).size(), 9u);
}

TEST(MenuTexts, NoAddressOrProductName) {
  for (const std::string& text : allTexts()) {
    for (const char* banned : {"http", "www.", ".com", ".org", "SFML", "C++"})
      EXPECT_EQ(text.find(banned), std::string::npos) << banned << " in: " << text;
  }
}

} // namespace
