#include "screens/trackedit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace pod;
namespace fs = std::filesystem;

namespace {

class TrackEditTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vuzuder-edit-" + std::string(::testing::UnitTest::GetInstance()
                                              ->current_test_info()->name()));
    fs::create_directories(dir_);
    folder_ = dir_.string() + "/";
    quiet_ = std::cout.rdbuf(log_.rdbuf()); // "Creating new checkpoint" lines
  }
  void TearDown() override {
    std::cout.rdbuf(quiet_);
    fs::remove_all(dir_);
  }
  std::string read(const std::string& name) const {
    std::ifstream in(folder_ + name + ".prt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::vector<qutils::Vec2> positions() const {
    std::vector<qutils::Vec2> result;
    for (const Checkpoint& cp : edit_.track().checkpoints)
      result.push_back(cp.position);
    return result;
  }
  std::vector<std::uint32_t> ids() const {
    std::vector<std::uint32_t> result;
    for (const Checkpoint& cp : edit_.track().checkpoints)
      result.push_back(cp.id);
    return result;
  }

  fs::path dir_;
  std::string folder_;
  std::stringstream log_;
  std::streambuf* quiet_ = nullptr;
  TrackEdit edit_;
};

using V = qutils::Vec2;
using Ids = std::vector<std::uint32_t>;

} // namespace

TEST_F(TrackEditTest, CreatePickEraseAndRenumber) {
  EXPECT_TRUE(edit_.create({0, 0}));
  EXPECT_FALSE(edit_.create({200, 0})); // on the first one's rim
  EXPECT_TRUE(edit_.create({1000, 0}));
  EXPECT_TRUE(edit_.create({1300, 0})); // overlaps the second
  EXPECT_EQ(ids(), (Ids{0, 1, 2}));

  // Where two overlap, the earlier one is picked.
  edit_.select({1150, 0});
  EXPECT_EQ(edit_.selected(), 1);
  edit_.select({5000, 5000});
  EXPECT_EQ(edit_.selected(), -1);
  EXPECT_EQ(edit_.status(), "No checkpoint selected: 3 checkpoints"); // not a stale one
  EXPECT_FALSE(edit_.eraseSelected());

  edit_.select({1000, 0});
  EXPECT_TRUE(edit_.eraseSelected());
  EXPECT_EQ(ids(), (Ids{0, 1}));
  EXPECT_EQ(positions(), (std::vector<V>{{0, 0}, {1300, 0}}));
  EXPECT_EQ(edit_.selected(), -1);
}

TEST_F(TrackEditTest, SaveCentresTheTrackAndRefusesWithAReason) {
  edit_.create({0, 0});
  EXPECT_FALSE(edit_.save(folder_, "one"));
  EXPECT_NE(edit_.status().find("at least 2 checkpoints"), std::string::npos);
  edit_.create({200, 200});
  edit_.select({200, 200});
  edit_.drag({200, 0});
  EXPECT_FALSE(edit_.save(folder_, "   "));
  EXPECT_NE(edit_.status().find("type a track name"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(dir_));

  ASSERT_TRUE(edit_.save(folder_, " Two Points "));
  EXPECT_EQ(read("Two Points"),
            "Two Points\n0 [-100.000000,0.000000] 200\n1 [100.000000,0.000000] 200\n");
  // Centred in the file only: nothing moves on screen.
  EXPECT_EQ(positions(), (std::vector<V>{{0, 0}, {200, 0}}));
  EXPECT_EQ(edit_.status().find("replacing"), std::string::npos);
  ASSERT_TRUE(edit_.save(folder_, "Two Points"));
  EXPECT_NE(edit_.status().find("replacing the previous file"), std::string::npos);
}

// Installed, the editor saves into the player's folder and the game's own
// tracks sit apart: none of them can be shadowed, and Load still finds them.
TEST_F(TrackEditTest, PlayersFolderNeverShadowsAShippedTrack) {
  const std::string shipped = folder_ + "shipped/";
  const std::string player = folder_ + "player/";  // made by the first save
  fs::create_directories(shipped);
  std::ofstream(shipped + "boomerang.prt") << "Boomerang\n0 [0,0] 200\n1 [900,0] 200\n";
  std::ofstream(shipped + "loop.prt") << "Grand Loop\n0 [0,0] 200\n1 [0,900] 200\n";
  edit_.create({0, 0});
  edit_.create({500, 0});
  for (const char* taken : {"boomerang", "BOOMERANG", "Grand Loop"}) {
    EXPECT_FALSE(edit_.save(player, taken, shipped)) << taken;
    EXPECT_NE(edit_.status().find("is a track of the game"), std::string::npos) << taken;
  }
  ASSERT_TRUE(edit_.save(player, "mine", shipped)) << edit_.status();
  EXPECT_TRUE(fs::exists(player + "mine.prt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(shipped), {}), 2);

  ASSERT_TRUE(edit_.load(player, "boomerang", shipped)) << edit_.status();
  EXPECT_EQ(edit_.track().name, "Boomerang");
  ASSERT_TRUE(edit_.load(player, "mine", shipped));
  EXPECT_EQ(edit_.track().name, "mine");
}

TEST_F(TrackEditTest, LoadRenumbersSoThatSavingAgainGivesTheSameBytes) {
  for (V p : {V{13.37f, -7.1f}, V{4321.5f, 900.25f}, V{-2500.125f, 3333.3f}, V{77, -6000}})
    edit_.create(p);
  ASSERT_TRUE(edit_.save(folder_, "ring"));
  const std::string first = read("ring");
  ASSERT_TRUE(edit_.load(folder_, "ring"));
  EXPECT_EQ(ids(), (Ids{0, 1, 2, 3}));
  ASSERT_TRUE(edit_.save(folder_, "ring"));
  EXPECT_EQ(read("ring"), first);

  // Dragging after a load moves exactly the picked checkpoint.
  ASSERT_TRUE(edit_.load(folder_, "ring"));
  const std::vector<V> before = positions();
  edit_.select(before[2]);
  edit_.drag({9000, 9000});
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(positions()[i], i == 2 ? V(9000, 9000) : before[i]) << i;
}

TEST_F(TrackEditTest, FailedLoadKeepsTheEditAndSaysWhy) {
  edit_.create({0, 0});
  edit_.create({900, 0});
  std::ofstream(folder_ + "broken.prt") << "Broken\n0 [1,2] 200\n1 [oops] 200\n";
  fs::create_directory(folder_ + "folder.prt");
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {{"broken", "line 3"}, {"missing", "cannot open"}, {"folder", "is a directory"},
               {"../broken", "only letters"}};
  for (const auto& c : cases) {
    EXPECT_FALSE(edit_.load(folder_, c.name)) << c.name;
    EXPECT_NE(edit_.status().find(c.reason), std::string::npos) << edit_.status();
    EXPECT_EQ(positions(), (std::vector<V>{{0, 0}, {900, 0}})) << c.name;
  }
}

TEST(TrackFileName, OnlySafeNamesInsideTheFolder) {
  const struct {
    const char* typed;
    const char* name; // empty: refused
  } cases[] = {
      {"Dune Sea", "Dune Sea"},
      {"  padded_name-2  ", "padded_name-2"},
      {"0123456789012345678901234567890123456789012345678901234567890123",
       "0123456789012345678901234567890123456789012345678901234567890123"},
      {"01234567890123456789012345678901234567890123456789012345678901234", ""},
      {"", ""},
      {"    ", ""},
      {"a/b", ""},
      {"a\\b", ""},
      {"..", ""},
      {".hidden", ""},
      {"name.prt", ""},
      {"tab\there", ""},
      {"caf\xc3\xa9", ""},
  };
  for (const auto& c : cases) {
    std::string why;
    EXPECT_EQ(TrackEdit::fileName(c.typed, &why), c.name) << c.typed;
    EXPECT_EQ(why.empty(), *c.name != '\0') << c.typed;
  }
  // Every letter and digit, and none of their neighbours in ASCII.
  for (const std::string name : {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz",
                                 "0123456789"})
    EXPECT_EQ(TrackEdit::fileName(name), name);
  for (char32_t c : {U'@', U'[', U'`', U'{', U'/', U':', U'\u00e9', U'\u0100'})
    EXPECT_NE(TrackEdit::refusal(c), nullptr) << static_cast<unsigned>(c);
}
