#include <qutils/text.h>

#include <gtest/gtest.h>

using qutils::escapedText;
using qutils::isUtf8;

TEST(Text, Utf8IsWellFormedOrEscapedByteForByte) {
  EXPECT_TRUE(isUtf8("plain, caf\xc3\xa9, \xe2\x82\xac, \xf0\x9f\x8f\x81"));
  for (const char* bad : {"caf\xe9", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80",
                          "\xe2\x82", "\x80", "\xff"})
    EXPECT_FALSE(isUtf8(bad)) << escapedText(bad);

  EXPECT_EQ(escapedText("caf\xc3\xa9 ok"), "caf\xc3\xa9 ok");
  EXPECT_EQ(escapedText("caf\xe9\n\x7f\tend"), "caf\\xE9\\x0A\\x7F\\x09end");
  EXPECT_EQ(escapedText("\xe2\x82\xac"), "\xe2\x82\xac");
  EXPECT_EQ(escapedText("\xe2\x82"), "\\xE2\\x82");
  // A cut keeps whole characters only.
  EXPECT_EQ(escapedText("ab\xe2\x82\xac", 4), "ab");
  EXPECT_EQ(escapedText("ab\xe2\x82\xac", 5), "ab\xe2\x82\xac");
  EXPECT_TRUE(isUtf8(escapedText("\xf0\x9f\x8f\x81\xf0\x9f\x8f\x81", 6)));
}
