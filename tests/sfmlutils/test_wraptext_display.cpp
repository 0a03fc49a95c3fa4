#include "assertrecorder.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>
#include <gtest/gtest.h>
#include <sfmlutils/textutils.h>

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class WrapText : public ::testing::Test {
protected:
  void load(const char* file) {
    if (!font_.loadFromFile(file))
      GTEST_SKIP() << "font not installed: " << file;
    text_.setFont(font_);
    text_.setCharacterSize(20);
  }
  float spaceAdvance() {
    text_.setString(" ");
    return text_.getGlobalBounds().width;
  }

  sf::Font font_;
  sf::Text text_;
};

} // namespace

TEST_F(WrapText, MonospaceLineLengthIsWidthOverSpaceAdvance) {
  load(kMono);
  const float a = spaceAdvance();
  ASSERT_GT(a, 0.f);
  const sf::String input("aaaa bbbb cccc dd");
  ASSERT_TRUE(sfmlutils::wrapText(text_, input, a * 9.5f, true));
  EXPECT_EQ(text_.getString(), sfmlutils::wrapMonospace(input, 9));
  EXPECT_EQ(text_.getString().toAnsiString(), "aaaa bbbb\ncccc dd");
}

TEST_F(WrapText, TooNarrowForOneSpaceLeavesTheTextAlone) {
  load(kMono);
  const float a = spaceAdvance();
  text_.setString("before");
  EXPECT_FALSE(sfmlutils::wrapText(text_, "a b c", a, true));
  EXPECT_FALSE(sfmlutils::wrapText(text_, "a b c", a * 0.5f, true));
  EXPECT_EQ(text_.getString().toAnsiString(), "before");

  AssertRecorder recorder;
  EXPECT_FALSE(sfmlutils::wrapText(text_, "a b c", 0.f, true));
  EXPECT_TRUE(recorder.fired("width > 0.f"));
  EXPECT_EQ(text_.getString().toAnsiString(), "before");
}

TEST_F(WrapText, WithoutFontNothingCanBeMeasured) {
  sf::Text bare;
  bare.setString("keep");
  EXPECT_FALSE(sfmlutils::wrapText(bare, "a b", 100.f, true));
  EXPECT_EQ(bare.getString().toAnsiString(), "keep");
}

TEST_F(WrapText, ProportionalLinesFitExceptSingleWords) {
  load(kSans);
  const std::string input =
      "Wide Ws and narrow ils make proportional wrapping measure every line";
  const float width = 180.f;
  ASSERT_TRUE(sfmlutils::wrapText(text_, input, width, false));
  const std::string out = text_.getString().toAnsiString();

  std::string joined = out;
  for (char& c : joined)
    if (c == '\n')
      c = ' ';
  EXPECT_EQ(joined, input);
  EXPECT_NE(out.find('\n'), std::string::npos);

  sf::Text probe("", font_, 20);
  std::size_t start = 0;
  while (start <= out.size()) {
    std::size_t end = out.find('\n', start);
    if (end == std::string::npos)
      end = out.size();
    const std::string line = out.substr(start, end - start);
    probe.setString(line);
    if (line.find(' ') != std::string::npos) {
      EXPECT_LE(probe.getGlobalBounds().width, width) << line;
    }
    start = end + 1;
  }
}
