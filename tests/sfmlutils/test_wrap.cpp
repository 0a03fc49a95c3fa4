#include <gtest/gtest.h>
#include <sfmlutils/textutils.h>

#include <string>

using sfmlutils::wrapMonospace;

namespace {

std::string wrap(const std::string& s, std::size_t n) {
  return wrapMonospace(sf::String(s), n).toAnsiString();
}

} // namespace

TEST(WrapMonospace, LinesNeverStartWithSpaces) {
  EXPECT_EQ(wrap("   hello world", 20), "hello world");
  EXPECT_EQ(wrap("aaaa bbbb     cccc", 9), "aaaa bbbb\ncccc");
}

TEST(WrapMonospace, SpaceAtExactlyFullLineBecomesTheBreak) {
  // The second space arrives with 9 characters on the line.
  EXPECT_EQ(wrap("aaaa bbbb cccc", 9), "aaaa bbbb\ncccc");
}

TEST(WrapMonospace, SpaceOneShortOfFullLineBreaksAtThePreviousSpace) {
  // "aaaa bbb" would fit in 9, but the space after it arrives with 8.
  EXPECT_EQ(wrap("aaaa bbb cc", 9), "aaaa\nbbb cc");
}

TEST(WrapMonospace, OverlongWordsStayWhole) {
  EXPECT_EQ(wrap("abcdefghijkl", 9), "abcdefghijkl");
  EXPECT_EQ(wrap("abcdefghijkl mn", 9), "abcdefghijkl mn");
  EXPECT_EQ(wrap("ab abcdefghijkl", 9), "ab\nabcdefghijkl");
}

TEST(WrapMonospace, BreaksNeverReachBackIntoAnEarlierLine) {
  const std::string out = wrap("aaaa bbbb cccccccccc dd", 9);
  EXPECT_EQ(out.substr(0, out.find('\n')), "aaaa bbbb");
  EXPECT_EQ(out.find("cccccccccc"), 10u);
}

TEST(WrapMonospace, InputNewlinesStartFreshLines) {
  EXPECT_EQ(wrap("ab\ncd ef", 4), "ab\ncd\nef");
  EXPECT_EQ(wrap("ab\n\ncd", 4), "ab\n\ncd");
}

TEST(WrapMonospace, OnlyBlanksChange) {
  const std::string text =
      "the quick brown fox jumps over the lazy dog and keeps on running far";
  auto squeeze = [](const std::string& s) {
    std::string r;
    for (char c : s)
      if (c != ' ' && c != '\n')
        r += c;
    return r;
  };
  for (std::size_t n = 1; n < 40; ++n) {
    const std::string out = wrap(text, n);
    EXPECT_EQ(squeeze(out), squeeze(text)) << "n=" << n;
    EXPECT_NE(out.front(), ' ');
  }
}

TEST(WrapMonospace, SecondOverflowOnALineBreaksAtTheSamePlace) {
  // The break after "ab" does not move the break candidate, so the spaces
  // that overflow again rewrite that same newline.
  EXPECT_EQ(wrap("ab cd ef gh ij", 6), "ab\ncd ef gh ij");
}
