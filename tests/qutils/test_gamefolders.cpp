#include <qutils/gamefolders.h>
#include <qutils/inifile.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

class Scratch : public ::testing::Test {
protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("vuzuder-folders-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(root_, ec);
  }
  // A folder that holds the data: the font and a tracks folder.
  std::string dataAt(const fs::path& folder) {
    fs::create_directories(folder / "fonts");
    fs::create_directories(folder / "tracks");
    std::ofstream(folder / "fonts" / "monofonto.ttf") << "font";
    return folder.string();
  }
  void write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
  }
  fs::path root_;
};

using GameFolders = Scratch;
using IniFile = Scratch;

TEST_F(GameFolders, SearchOrderAndWhereThePlayersFilesGo) {
  qutils::FolderSearch search;
  search.workingData = (root_ / "work" / "resources").string();
  search.executable = (root_ / "usr" / "games" / "vuzuder").string();
  search.home = (root_ / "home").string();
  const std::string installed = dataAt(root_ / "usr" / "share" / "games" / "vuzuder");

  // Installed only: found beside the program, the player's files in the home folder.
  qutils::GameFolders found = qutils::findGameFolders(search);
  EXPECT_EQ(found.data, installed + "/");
  EXPECT_FALSE(found.checkout);
  EXPECT_EQ(found.playerTracks, search.home + "/.local/share/vuzuder/tracks/");
  EXPECT_EQ(found.replays, search.home + "/.local/share/vuzuder/replays/");

  // An absolute XDG_DATA_HOME moves them; a relative one is ignored.
  search.dataHome = (root_ / "xdg").string();
  EXPECT_EQ(qutils::findGameFolders(search).playerTracks, search.dataHome + "/vuzuder/tracks/");
  search.dataHome = "relative/xdg";
  EXPECT_EQ(qutils::findGameFolders(search).replays, search.home + "/.local/share/vuzuder/replays/");

  // The Python module finds the same install from its package folder.
  qutils::FolderSearch python = search;
  python.executable = "/usr/bin/python3";
  python.pythonPackage = (root_ / "usr" / "lib" / "python3" / "dist-packages" / "vuzuder").string();
  EXPECT_EQ(qutils::findGameFolders(python).data, installed + "/");

  // VUZUDER_DATA comes before the installed folder, and is not a checkout.
  search.dataVariable = dataAt(root_ / "elsewhere");
  found = qutils::findGameFolders(search);
  EXPECT_EQ(found.data, search.dataVariable + "/");
  EXPECT_FALSE(found.checkout);

  // The working folder's resources/ comes first: a checkout keeps its folders.
  dataAt(search.workingData);
  found = qutils::findGameFolders(search);
  EXPECT_EQ(found.data, search.workingData + "/");
  EXPECT_TRUE(found.checkout);
  EXPECT_EQ(found.playerTracks, search.workingData + "/tracks/");
  EXPECT_EQ(found.replays, "replays/");
}

TEST_F(GameFolders, NothingFoundNamesEveryPlaceTried) {
  qutils::FolderSearch search;
  search.workingData = (root_ / "resources").string();
  search.dataVariable = (root_ / "named").string();
  search.executable = (root_ / "bin" / "vuzuder").string();
  // A folder without the font does not hold the data.
  fs::create_directories(root_ / "named" / "tracks");
  const qutils::GameFolders found = qutils::findGameFolders(search);
  EXPECT_TRUE(found.data.empty());
  const std::string message = qutils::noDataMessage(found);
  EXPECT_EQ(message.find('\n'), std::string::npos);
  for (const std::string& place :
       {search.workingData, search.dataVariable, (root_ / "share" / "games" / "vuzuder").string()})
    EXPECT_NE(message.find(place), std::string::npos) << message;
}

TEST_F(IniFile, HostileFilesAreRefusedWithAReason) {
  std::map<std::string, std::string> values;
  std::string why;
  EXPECT_FALSE(qutils::readIni((root_ / "missing.ini").string(), values, why));

  write(root_ / "binary.ini", std::string("mode = race\n\0\x01\x02", 15));
  EXPECT_FALSE(qutils::readIni((root_ / "binary.ini").string(), values, why));
  EXPECT_EQ(why, "binary content");

  write(root_ / "huge.ini", std::string(qutils::cMaxIniBytes + 1, '#'));
  EXPECT_FALSE(qutils::readIni((root_ / "huge.ini").string(), values, why));

  write(root_ / "garbage.ini", "mode = race\nthis is not a setting\n");
  EXPECT_FALSE(qutils::readIni((root_ / "garbage.ini").string(), values, why));
  EXPECT_TRUE(values.empty());

  // A FIFO would block a plain open; a folder is no file.
  ASSERT_EQ(mkfifo((root_ / "fifo.ini").c_str(), 0600), 0);
  EXPECT_FALSE(qutils::readIni((root_ / "fifo.ini").string(), values, why));
  EXPECT_FALSE(qutils::readIni(root_.string(), values, why));

  write(root_ / "good.ini", "# comment\n[game]\n  team1 =  Genetic  \n\nspeed=x2\r\n");
  ASSERT_TRUE(qutils::readIni((root_ / "good.ini").string(), values, why)) << why;
  EXPECT_EQ(values, (std::map<std::string, std::string>{{"team1", "Genetic"}, {"speed", "x2"}}));
}

TEST_F(IniFile, AtomicWriteReplacesWholeOrKeepsTheOld) {
  const fs::path file = root_ / "new" / "folder" / "settings.ini";
  std::string why;
  ASSERT_TRUE(qutils::writeFileAtomically(file.string(), "a = 1\n", why)) << why;
  ASSERT_TRUE(qutils::writeFileAtomically(file.string(), "a = 2\n", why)) << why;
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "a = 2\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1);

  // Whatever stands in the way (even for root): the old content stays and
  // no temporary file is left behind.
  const fs::path blocked = root_ / "blocked";
  fs::create_directories(blocked / "inside");
  EXPECT_FALSE(qutils::writeFileAtomically(blocked.string(), "a = 3\n", why));
  EXPECT_TRUE(fs::is_directory(blocked / "inside"));
  EXPECT_FALSE(qutils::writeFileAtomically((file / "below").string(), "a = 3\n", why));
  std::ifstream again(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), "a = 2\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), {}), 2);  // new/ and blocked/
}

} // namespace
