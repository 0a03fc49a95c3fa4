#include "bots/botprocess.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace pod::bots {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// Hostile bot programs, written as shell scripts for the test.
class HostileBot : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("bot-process-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> script(const std::string& body) {
    const fs::path path = dir_ / "bot.sh";
    std::ofstream(path) << body;
    return {"/bin/sh", path.string()};
  }

  static std::string firstLine(BotProcess& bot) {
    std::string line;
    EXPECT_EQ(bot.readLine(line, Clock::now() + std::chrono::seconds(10)), BotProcess::Io::Ok);
    return line;
  }

  static int openDescriptors() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir))
      ++count;
    closedir(dir);
    return count - 3; // ".", ".." and the listing's own
  }

  fs::path dir_;
};

// A grandchild that leaves the bot's process group and session, and whose
// parent exits, so that it belongs to nobody the bot knows.
TEST_F(HostileBot, NothingItStartsOutlivesItWhateverItsSession) {
  const std::string pidFile = (dir_ / "escaped").string();
  BotProcess bot;
  ASSERT_TRUE(bot.start(script("( setsid sh -c 'echo $$ > " + pidFile + ".tmp; mv " + pidFile +
                               ".tmp " + pidFile + "; exec sleep 60' & )\n"
                               "while [ ! -e " + pidFile + " ]; do sleep 0.01; done\n"
                               "echo ready\ncat > /dev/null\n"),
                        nullptr));
  ASSERT_EQ(firstLine(bot), "ready");
  int escaped = 0;
  std::ifstream(pidFile) >> escaped;
  ASSERT_GT(escaped, 0);
  ASSERT_EQ(kill(escaped, 0), 0);
  EXPECT_NE(getsid(escaped), getsid(0)) << "the grandchild left the session";
  bot.stop(milliseconds(100), true);
  EXPECT_EQ(kill(escaped, 0), -1) << "the grandchild outlived the bot";
  EXPECT_EQ(errno, ESRCH);
  EXPECT_EQ(liveBotCount(), 0);
}

// Files open in the host, with or without close-on-exec, are not the bot's.
TEST_F(HostileBot, SeesNoDescriptorOfTheHostButItsThreePipes) {
  const fs::path raw = dir_ / "raw-file";
  const fs::path stream = dir_ / "stream-file";
  const int fd = open(raw.c_str(), O_WRONLY | O_CREAT, 0600); // inheritable
  ASSERT_GE(fd, 0);
  std::ofstream streamFile(stream);
  BotProcess bot;
  ASSERT_TRUE(bot.start(script("for f in /proc/$$/fd/*; do readlink \"$f\"; done >&2\n"
                               "for n in 3 4 5 6 7 8 9; do eval \"echo FORGED >&$n\"; done "
                               "2>/dev/null\necho ready\n"),
                        nullptr));
  EXPECT_EQ(firstLine(bot), "ready");
  bot.stop(milliseconds(500), true);
  close(fd);
  const std::string seen = bot.errorOutput();
  EXPECT_NE(seen.find("pipe:"), std::string::npos) << seen;
  EXPECT_EQ(seen.find(raw.string()), std::string::npos) << seen;
  EXPECT_EQ(seen.find(stream.string()), std::string::npos) << seen;
  EXPECT_EQ(fs::file_size(raw), 0u);
}

// Out of descriptors half-way through the pipes: the fault is ours, and the
// pipes already made are closed.
TEST_F(HostileBot, NoPipeLeaksWhenDescriptorsRunOut) {
  const int before = openDescriptors();
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  // Room for two pipes of the four a bot needs.
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(before + 5);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  BotProcess bot;
  std::string error;
  bool ours = false;
  const bool started = bot.start({"/bin/true"}, &error, &ours);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
  EXPECT_FALSE(started);
  EXPECT_TRUE(ours) << error;
  EXPECT_NE(error.find("pipe"), std::string::npos) << error;
  EXPECT_EQ(openDescriptors(), before);

  EXPECT_FALSE(bot.start({"/no/such/bot"}, &error, &ours));
  EXPECT_FALSE(ours) << "a missing program is the bot's fault";
}

// Lines up to 4096 bytes are lines; longer ones are refused, and only one
// carriage return is taken off.
TEST_F(HostileBot, LinesAreReadUpTo4096BytesAndCarriageReturnsAreLeft) {
  BotProcess bot;
  ASSERT_TRUE(bot.start(script("printf '%4096s\\n' x; printf '%4097s\\n' y; "
                               "printf 'a\\r\\r\\n'; cat > /dev/null\n"),
                        nullptr));
  std::string line;
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  ASSERT_EQ(bot.readLine(line, deadline), BotProcess::Io::Ok);
  EXPECT_EQ(line.size(), 4096u);
  EXPECT_EQ(bot.readLine(line, deadline), BotProcess::Io::TooLong);
  ASSERT_EQ(bot.readLine(line, deadline), BotProcess::Io::Ok);
  EXPECT_EQ(line, "a\r\r");
}

// The last lines of standard error are kept for the report, whatever came
// before, even from a bot that writes far more than a pipe holds.
TEST_F(HostileBot, KeepsTheLastLinesOfAFloodOfErrors) {
  BotProcess bot;
  ASSERT_TRUE(bot.start(script("yes 'noise noise noise' | head -n 60000 >&2\n"
                               "echo 'first' >&2; echo 'second' >&2; printf 'last words' >&2\n"
                               "echo ready\n"),
                        nullptr));
  std::string line;
  ASSERT_EQ(bot.readLine(line, Clock::now() + std::chrono::seconds(20)), BotProcess::Io::Ok);
  bot.stop(milliseconds(500), true);
  EXPECT_EQ(bot.lastErrorLines(), (std::vector<std::string>{"first", "second", "last words"}));
  EXPECT_EQ(bot.errorOutput().size(), kMaxErrorBytes);
}

} // namespace
} // namespace pod::bots
