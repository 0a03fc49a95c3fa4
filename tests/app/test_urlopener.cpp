#include "app/urlopener.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TEST(UrlOpener, FileAddressesAreAbsoluteAndEscaped) {
  const std::string cwd = fs::current_path().lexically_normal().string();
  EXPECT_EQ(pod::fileAddress("README.md"), "file://" + cwd + "/README.md");
  EXPECT_EQ(pod::fileAddress("/a b/ART#1.md"), "file:///a%20b/ART%231.md");
  EXPECT_EQ(pod::fileAddress("/x/./docs/../y.md"), "file:///x/y.md");
}

// A stand-in opener on PATH that writes down the arguments it was given.
TEST(UrlOpener, TheAddressIsOneArgumentAndNothingOpenedIsReported) {
  const fs::path folder = fs::temp_directory_path() / "vuzuder-opener";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path record = folder / "arguments.txt";
  std::ofstream(folder / "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > "
                                     << (folder / "partial").string() << "\nmv "
                                     << (folder / "partial").string() << " " << record.string()
                                     << "\n";
  fs::permissions(folder / "xdg-open", fs::perms::owner_all);
  const std::string previousPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (folder.string() + ":" + previousPath).c_str(), 1);

  const std::string address = "file:///tmp/a b; touch " + (folder / "pwned").string() + "'$(x)";
  EXPECT_TRUE(pod::openAddress(address, "Could not open it"));
  // The opener runs detached: wait (boundedly) for its record.
  for (int i = 0; i < 200 && !fs::exists(record); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  std::ifstream in(record);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"1", address}));
  EXPECT_FALSE(fs::exists(folder / "pwned"));

  setenv("PATH", previousPath.c_str(), 1);
  fs::remove_all(folder);

  // Whether no opener exists or the opener finds no handler (xdg-open then
  // exits non-zero), the failure line reaches the standard error stream.
  {
    const fs::path folder = fs::temp_directory_path() / "vuzuder-no-handler";
    fs::remove_all(folder);
    fs::create_directories(folder / "empty");
    std::ofstream(folder / "xdg-open") << "#!/bin/sh\nexit 3\n";
    fs::permissions(folder / "xdg-open", fs::perms::owner_all);
    const std::string previousPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    const fs::path errors = folder / "stderr.txt";
    const int savedStderr = dup(STDERR_FILENO);
    const int file = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, STDERR_FILENO);
    close(file);

    setenv("PATH", (folder / "empty").string().c_str(), 1);
    const bool started = pod::openAddress("file:///tmp/x", "Could not open x");
    setenv("PATH", folder.string().c_str(), 1);
    const bool startedHandlerless = pod::openAddress("file:///tmp/y", "Could not open y");
    setenv("PATH", previousPath.c_str(), 1);
    // The opener's failure is reported by a detached watcher: wait (boundedly).
    std::vector<std::string> lines;
    for (int i = 0; i < 200 && lines.size() < 2; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
      std::ifstream in(errors);
      lines.clear();
      for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    }
    dup2(savedStderr, STDERR_FILENO);
    close(savedStderr);
    EXPECT_FALSE(started);
    EXPECT_TRUE(startedHandlerless);
    EXPECT_EQ(lines, (std::vector<std::string>{"Could not open x", "Could not open y"}));
    fs::remove_all(folder);
  }
}

} // namespace
