#include "race/track.h"

#include <qutils/assert.h>
#include <qutils/random.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace pod;
namespace fs = std::filesystem;

namespace {

class TrackFiles : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vuzuder-track-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& content, const std::string& name = "t.prt") {
    const auto path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  // Loads quietly, returning success and the reason.
  bool load(Track& track, const std::string& content, std::string* why = nullptr) {
    ::testing::internal::CaptureStderr();
    const bool ok = track.load(write(content), why);
    stderr_ = ::testing::internal::GetCapturedStderr();
    return ok;
  }

  fs::path dir_;
  std::string stderr_;
};

int continueHandler(const char*, const char*, const char*, int) { return 1; }

} // namespace

TEST_F(TrackFiles, RoundTripKeepsNameAndPositions) {
  Track track;
  track.name = "Dune Sea Loop";
  track.checkpoints = {{0, {2500, -300}}, {1, {8000, 4500}}, {2, {-7000.5f, 12.25f}}};
  const auto path = (dir_ / "round.prt").string();
  ASSERT_TRUE(track.save(path));

  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "Dune Sea Loop\n0 [2500.000000,-300.000000] 200\n1 [8000.000000,4500.000000] 200\n"
            "2 [-7000.500000,12.250000] 200\n");
  EXPECT_FALSE(fs::exists(path + ".tmp"));

  Track back;
  ASSERT_TRUE(back.load(path));
  EXPECT_EQ(back.name, "Dune Sea Loop");
  ASSERT_EQ(back.checkpoints.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back.checkpoints[i].id, track.checkpoints[i].id + 10);
    EXPECT_EQ(back.checkpoints[i].position, track.checkpoints[i].position);
  }
}

TEST_F(TrackFiles, AcceptedForms) {
  Track t;
  ASSERT_TRUE(load(t, "Ints\n3 [10,20] 200\n4 [-5,7.5] 150.5\n"));
  EXPECT_EQ(t.checkpoints[0].position, qutils::Vec2(10, 20));
  EXPECT_EQ(t.checkpoints[0].id, 13u);
  ASSERT_TRUE(load(t, "Windows\r\n0 [1,2] 200\r\n1 [3,4] 200\r\n"));
  EXPECT_EQ(t.name, "Windows");
  EXPECT_EQ(t.checkpoints.size(), 2u);
  ASSERT_TRUE(load(t, "No final newline\n0 [1,2] 200\n1 [3,4] 200"));
  EXPECT_EQ(t.checkpoints.size(), 2u);
}

TEST_F(TrackFiles, MalformedFilesFailWithAReason) {
  struct Case {
    const char* content;
    const char* stderrLine; // printed by the parser, if any
  };
  const Case cases[] = {
      {"", nullptr},
      {"Only a name\n", nullptr},
      {"Two spaces\n0  [1,2] 200\n", nullptr},
      {"Four fields\n0 [1,2] 200 7\n", nullptr},
      {"Blank line\n0 [1,2] 200\n\n1 [3,4] 200\n", nullptr},
      {"No bracket\n0 1,2] 200\n", nullptr},
      {"One coordinate\n0 [1] 200\n", nullptr},
      {"Three coordinates\n0 [1,2,3] 200\n", nullptr},
      {"Bad id\nx [1,2] 200\n", "invalid stoul argument"},
      {"Negative id\n-1 [1,2] 200\n", "invalid stoul argument"},
      {"Huge id\n99999999999 [1,2] 200\n", "stoul argument out of range"},
      {"Bad x\n0 [a,2] 200\n", "invalid stof argument"},
      {"Huge y\n0 [1,1e99] 200\n", "stof argument out of range"},
      {"NaN\n0 [nan,2] 200\n", "invalid stof argument"},
      {"Bad radius\n0 [1,2] big\n", "invalid stof argument"},
  };
  for (const auto& c : cases) {
    Track t;
    std::string why;
    EXPECT_FALSE(load(t, c.content, &why)) << c.content;
    EXPECT_FALSE(why.empty()) << c.content;
    EXPECT_EQ(why.find('\n'), std::string::npos);
    if (c.stderrLine) {
      EXPECT_EQ(stderr_, std::string(c.stderrLine) + "\n") << c.content;
    }
  }
  Track t;
  std::string why;
  EXPECT_FALSE(t.load((dir_ / "missing.prt").string(), &why));
  EXPECT_NE(why.find("cannot open"), std::string::npos);
}

TEST_F(TrackFiles, UnsuitableFilesAreRefusedBeforeReading) {
  const std::string big = write(std::string(2 * Track::cMaxFileSize, 'x'), "big.prt");
  const std::string longLine =
      write("Name\n0 [1,2] 200\n" + std::string(Track::cMaxLineLength + 1, '1') + "\n", "long.prt");
  const std::string justFits =
      write("Name\n0 [1,2] 200." + std::string(Track::cMaxLineLength - 12, '0') + "\n1 [3,4] 200\n",
            "fits.prt");
  const struct {
    std::string path;
    const char* reason; // null: loads
  } cases[] = {
      {"/dev/zero", "/dev/zero is not a regular file"},
      {dir_.string(), " is a directory"},
      {big, " is larger than 1 MiB"},
      {longLine, "line 3: line longer than 4 KiB"},
      {justFits, nullptr},
  };
  for (const auto& c : cases) {
    Track t;
    std::string why;
    EXPECT_EQ(t.load(c.path, &why), c.reason == nullptr) << c.path;
    if (c.reason) {
      EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
  }
}

TEST_F(TrackFiles, FailedSaveKeepsThePreviousFile) {
  const auto path = write("Old\n0 [1,2] 200\n1 [3,4] 200\n", "keep.prt");
  fs::create_directory(path + ".tmp"); // the temporary cannot be created
  const auto previous = qutils::getAssertHandler();
  qutils::setAssertHandler(&continueHandler);
  Track track;
  track.name = "New";
  track.checkpoints = {{0, {5, 5}}};
  EXPECT_FALSE(track.save(path));
  EXPECT_FALSE(track.save((dir_ / "no-such-dir" / "x.prt").string()));
  qutils::setAssertHandler(previous);

  Track back;
  ASSERT_TRUE(back.load(path));
  EXPECT_EQ(back.name, "Old");
}

// Whatever loads can be raced: a grid with a direction, finite coordinates,
// a name the trace and summary writers can carry.
TEST_F(TrackFiles, ATrackOutsideTheLimitsIsRefusedWithTheReason) {
  std::string hundred = "Full\n";
  for (int i = 0; i < 100; ++i)
    hundred += std::to_string(i) + " [" + std::to_string(i * 10) + ",0] 200\n";
  const struct {
    std::string content;
    const char* reason; // null: loads
  } cases[] = {
      {"Far\n0 [-1e30,0] 200\n1 [1e30,0] 200\n", "line 2: a coordinate lies outside"},
      {"Edge\n0 [-100000,100000] 200\n1 [100000,-100000] 200\n", nullptr},
      {"Past\n0 [0,0] 200\n1 [100000.01,0] 200\n", "line 3: a coordinate lies outside"},
      {"Same start\n0 [5,5] 200\n1 [5,5] 200\n2 [900,0] 200\n",
       "checkpoints 0 and 1 are less than 1 unit apart"},
      {"Close start\n0 [5,5] 200\n1 [5,6] 200\n", nullptr},
      {"One\n0 [5,5] 200\n", "1 checkpoint: a track has 2 to 100"},
      {hundred, nullptr},
      {hundred + "100 [0,5] 200\n", "line 102: more than 100 checkpoints"},
      {"Caf\xe9\n0 [0,0] 200\n1 [9,9] 200\n", "line 1: the name is not UTF-8 text"},
      {"Caf\xc3\xa9\n0 [0,0] 200\n1 [9,9] 200\n", nullptr},
      {"Tab\tbed\n0 [0,0] 200\n1 [9,9] 200\n", "line 1: the name holds a control character"},
      {std::string(257, 'n') + "\n0 [0,0] 200\n1 [9,9] 200\n", "the name is longer than 256"},
  };
  for (const auto& c : cases) {
    Track t;
    std::string why;
    EXPECT_EQ(load(t, c.content, &why), c.reason == nullptr) << c.content.substr(0, 40) << why;
    if (c.reason) {
      EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
  }
  // Messages quote a file name byte for byte only where it is valid text.
  Track t;
  std::string why;
  EXPECT_FALSE(t.load((dir_ / "caf\xe9\n.prt").string(), &why));
  EXPECT_NE(why.find("caf\\xE9\\x0A.prt"), std::string::npos) << why;
}
