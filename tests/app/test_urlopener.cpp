#include "app/urlopener.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

TEST(UrlOpener, FileAddressesAreAbsoluteAndEscaped) {
  const std::string cwd = fs::current_path().lexically_normal().string();
  EXPECT_EQ(pod::fileAddress("README.md"), "file://" + cwd + "/README.md");
  EXPECT_EQ(pod::fileAddress("/a b/ART#1.md"), "file:///a%20b/ART%231.md");
  EXPECT_EQ(pod::fileAddress("/x/./docs/../y.md"), "file:///x/y.md");
}

// A stand-in opener on PATH that writes down the arguments it was given.
class UrlOpenerWithFakeOpener : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("vuzuder-opener-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(folder_);
    record_ = folder_ / "arguments.txt";
    std::ofstream script(folder_ / "xdg-open");
    script << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > " << (folder_ / "partial").string()
           << "\nmv " << (folder_ / "partial").string() << " " << record_.string() << "\n";
    script.close();
    fs::permissions(folder_ / "xdg-open", fs::perms::owner_all);
    const char* path = std::getenv("PATH");
    previousPath_ = path ? path : "";
    setenv("PATH", (folder_.string() + ":" + previousPath_).c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", previousPath_.c_str(), 1);
    fs::remove_all(folder_);
  }

  // The opener runs detached: wait (boundedly) for its record.
  std::vector<std::string> recordedArguments() {
    for (int i = 0; i < 200 && !fs::exists(record_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::ifstream in(record_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    return lines;
  }

  fs::path folder_;
  fs::path record_;
  std::string previousPath_;
};

TEST_F(UrlOpenerWithFakeOpener, TheAddressIsOneArgumentNeverAShellCommand) {
  const std::string address = "file:///tmp/a b; touch " + (folder_ / "pwned").string() + "'$(x)";
  ASSERT_TRUE(pod::openAddress(address));
  EXPECT_EQ(recordedArguments(), (std::vector<std::string>{"1", address}));
  EXPECT_FALSE(fs::exists(folder_ / "pwned"));
}

TEST_F(UrlOpenerWithFakeOpener, NoOpenerOnPathIsAFailure) {
  setenv("PATH", (folder_ / "empty").string().c_str(), 1);
  EXPECT_FALSE(pod::openAddress("file:///tmp/x"));
}

} // namespace
