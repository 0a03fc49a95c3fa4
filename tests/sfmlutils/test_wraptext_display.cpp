#include "../vexa/assertrecorder.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>
#include <gtest/gtest.h>
#include <sfmlutils/textutils.h>

#include <algorithm>

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

  sf::Font font_;
  sf::Text text_;
};

} // namespace

TEST_F(WrapText, MonospaceLineLengthIsWidthOverSpaceAdvance) {
  load(kMono);
  text_.setString(" ");
  const float a = text_.getGlobalBounds().width;
  ASSERT_GT(a, 0.f);
  ASSERT_TRUE(sfmlutils::wrapText(text_, "aaaa bbbb cccc dd", a * 9.5f, true));
  EXPECT_EQ(text_.getString().toAnsiString(), "aaaa bbbb\ncccc dd");

  // Too narrow for one space: the text is left alone.
  AssertRecorder recorder;
  for (float width : {a, a * 0.5f, 0.f})
    EXPECT_FALSE(sfmlutils::wrapText(text_, "a b c", width, true)) << width;
  EXPECT_TRUE(recorder.fired("width > 0.f"));
  EXPECT_EQ(text_.getString().toAnsiString(), "aaaa bbbb\ncccc dd");
}

TEST_F(WrapText, ProportionalLinesFitExceptSingleWords) {
  load(kSans);
  const std::string input =
      "Wide Ws and narrow ils make proportional wrapping measure every line";
  ASSERT_TRUE(sfmlutils::wrapText(text_, input, 180.f, false));
  std::string out = text_.getString().toAnsiString();
  std::size_t start = 0;
  for (std::size_t end = 0; end != std::string::npos; start = end + 1) {
    end = out.find('\n', start);
    const std::string line = out.substr(start, end - start);
    if (line.find(' ') != std::string::npos) {
      EXPECT_LE(sf::Text(line, font_, 20).getGlobalBounds().width, 180.f) << line;
    }
  }
  EXPECT_GT(std::count(out.begin(), out.end(), '\n'), 1);
  std::replace(out.begin(), out.end(), '\n', ' ');
  EXPECT_EQ(out, input);
}
