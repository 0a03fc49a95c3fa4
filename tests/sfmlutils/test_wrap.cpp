#include <gtest/gtest.h>
#include <sfmlutils/textutils.h>

#include <algorithm>
#include <string>

namespace {

std::string wrap(const std::string& s, std::size_t n) {
  return sfmlutils::wrapMonospace(sf::String(s), n).toAnsiString();
}

} // namespace

TEST(WrapMonospace, BreaksAtBlanksAndKeepsWordsWhole) {
  struct Case {
    const char* in;
    std::size_t n;
    const char* out;
  };
  const Case cases[] = {
      // Lines never start with spaces.
      {"   hello world", 20, "hello world"},
      {"aaaa bbbb     cccc", 9, "aaaa bbbb\ncccc"},
      // A space at exactly a full line becomes the break; one short of it,
      // the line breaks at its previous space.
      {"aaaa bbbb cccc", 9, "aaaa bbbb\ncccc"},
      {"aaaa bbb cc", 9, "aaaa\nbbb cc"},
      // Overlong words stay whole, and breaks never reach back a line.
      {"abcdefghijkl", 9, "abcdefghijkl"},
      {"abcdefghijkl mn", 9, "abcdefghijkl mn"},
      {"ab abcdefghijkl", 9, "ab\nabcdefghijkl"},
      {"aaaa bbbb cccccccccc dd", 9, "aaaa bbbb\ncccccccccc dd"},
      // Input newlines start fresh lines.
      {"ab\ncd ef", 4, "ab\ncd\nef"},
      {"ab\n\ncd", 4, "ab\n\ncd"},
      // A second overflow on a line rewrites the same break.
      {"ab cd ef gh ij", 6, "ab\ncd ef gh ij"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(wrap(c.in, c.n), c.out) << '"' << c.in << "\" n=" << c.n;
}

TEST(WrapMonospace, OnlyBlanksChangeAndNoLineStartsWithASpace) {
  const std::string text =
      "the quick brown fox jumps over the lazy dog and keeps on running far";
  auto words = [](std::string s) {
    std::replace(s.begin(), s.end(), '\n', ' ');
    return s;
  };
  for (std::size_t n = 1; n < 40; ++n) {
    const std::string out = wrap(text, n);
    EXPECT_EQ(words(out), text) << "n=" << n;
    EXPECT_EQ(out.find("\n "), std::string::npos) << "n=" << n;
  }
}
