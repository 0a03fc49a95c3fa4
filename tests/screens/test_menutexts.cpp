#include "screens/menutexts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

TEST(MenuTexts, EveryDriverHasATitledDescriptionAndThePlayerNamesItsTeamsKeys) {
  std::set<std::string> distinct;
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const std::string text = pod::driverDescription(i, true);
    // A title line, a blank line, then the text.
    const auto title = text.find("\n\n");
    ASSERT_NE(title, std::string::npos);
    EXPECT_GT(title, 0u);
    EXPECT_GT(text.size(), title + 60);
    distinct.insert(text);
    // Only the player and blocker depends on the team.
    if (i != 6) {
      EXPECT_EQ(text, pod::driverDescription(i, false));
    }
  }
  EXPECT_EQ(distinct.size(), 8u);
  EXPECT_TRUE(pod::driverDescription(-1, true).empty());
  EXPECT_TRUE(pod::driverDescription(8, false).empty());
  EXPECT_NE(pod::driverDescription(6, true).find("arrow"), std::string::npos);
  EXPECT_EQ(pod::driverDescription(6, true).find("Z / W"), std::string::npos);
  EXPECT_NE(pod::driverDescription(6, false).find("Z / W"), std::string::npos);
  EXPECT_NE(pod::driverDescription(6, false).find("A / Q"), std::string::npos);
}

TEST(MenuTexts, NineDistinctTriviaAndNoAddressOrProductName) {
  const std::vector<std::string>& trivia = pod::triviaEntries();
  EXPECT_EQ(trivia.size(), 9u);
  EXPECT_EQ(std::set<std::string>(trivia.begin(), trivia.end()).size(), trivia.size());
  std::vector<std::string> texts = {pod::timeAttackRulesText(), pod::raceRulesText(),
                                    pod::timeAttackExplanationText(),
                                    pod::driverDescription(6, false)};
  texts.insert(texts.end(), trivia.begin(), trivia.end());
  for (int i = 0; i < 8; ++i)
    texts.push_back(pod::driverDescription(i, true));
  for (const std::string& text : texts) {
    for (const char* banned : {"http", "www.", ".com", ".org", "SFML", "C++"})
      EXPECT_EQ(text.find(banned), std::string::npos) << banned << " in: " << text;
  }
}

} // namespace
