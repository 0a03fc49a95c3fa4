#include <qutils/assert.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Seen {
  int calls = 0;
  std::string condition;
  std::string message;
  std::string file;
  int line = 0;
};
Seen gSeen;

int recordingHandler(const char* condition, const char* message, const char* file, int line) {
  ++gSeen.calls;
  gSeen.condition = condition ? condition : "";
  gSeen.message = message ? message : "";
  gSeen.file = file;
  gSeen.line = line;
  return 1; // carry on
}

class AssertTest : public ::testing::Test {
protected:
  void SetUp() override {
    gSeen = Seen();
    previous_ = qutils::getAssertHandler();
    qutils::setAssertHandler(&recordingHandler);
  }
  void TearDown() override { qutils::setAssertHandler(previous_); }
  qutils::AssertHandler previous_ = nullptr;
};

} // namespace

TEST_F(AssertTest, ReplaceableHandlerSeesConditionMessageAndPlace) {
  const int x = 3;
  Q_ASSERT(x == 3);
  EXPECT_EQ(gSeen.calls, 0);

  const int line = __LINE__ + 1;
  Q_ASSERT_MSG(x == 4, "x is %d", x);
  EXPECT_EQ(gSeen.calls, 1);
  EXPECT_EQ(gSeen.condition, "x == 4");
  EXPECT_EQ(gSeen.message, "x is 3");
  EXPECT_EQ(gSeen.line, line);
  EXPECT_NE(gSeen.file.find("test_assert.cpp"), std::string::npos);

  // Messages are cut at 1024 characters, never overflow.
  const std::string huge(5000, 'a');
  Q_ASSERT_MSG(false, "%s", huge.c_str());
  EXPECT_EQ(gSeen.message.size(), 1023u);
}

TEST(AssertDefault, PrintsTheLineThenAbortsCleanly) {
  EXPECT_DEATH(
      {
        qutils::setAssertHandler(nullptr);
        Q_ASSERT_MSG(1 + 1 == 3, "math %s", "broke");
      },
      "");
  ::testing::internal::CaptureStdout();
  const int keepGoing = qutils::defaultAssertHandler("a < b", "why", "file.cpp", 12);
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(keepGoing, 0);
  EXPECT_EQ(out, "file.cpp(12): Assert Failure: 'a < b' why\n");
}
