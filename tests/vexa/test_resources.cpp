#include "assertrecorder.h"

#include <gtest/gtest.h>
#include <vexa/core/pathmanager.h>
#include <vexa/core/resourcemanager.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

// Loads any file that exists; remembers its name.
struct FileName {
  std::string name;
  bool loadFromFile(const std::string& file) {
    name = file;
    return std::ifstream(file).good();
  }
  bool loadFromFile(const std::string& file, int extra) {
    name = file + "#" + std::to_string(extra);
    return std::ifstream(file).good();
  }
};

std::string loadError(const std::function<void()>& load) {
  try {
    load();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

class FixtureFile : public ::testing::Test {
protected:
  void SetUp() override { std::ofstream(path_) << "x"; }
  void TearDown() override { std::remove(path_.c_str()); }
  const std::string path_ = ::testing::TempDir() + "vexa_resource.txt";
};

} // namespace

TEST_F(FixtureFile, HolderLoadsOnceAndHandsOutReferences) {
  ResourceHolder<FileName, std::uint32_t> holder;
  holder.load(3, path_);
  holder.load(4, path_, 7);
  EXPECT_EQ(holder.get(3).name, path_);
  EXPECT_EQ(holder.get(4).name, path_ + "#7");
  EXPECT_EQ(&holder.get(3), &holder.get(3));

  AssertRecorder recorder;
  holder.load(3, path_);
  EXPECT_TRUE(recorder.fired("inserted.second"));
  holder.get(17);
  EXPECT_TRUE(recorder.fired("found != mResourceMap.end()"));
}

TEST(ResourceHolder, MissingFileThrowsWithItsName) {
  ResourceHolder<FileName, std::uint32_t> holder;
  EXPECT_EQ(loadError([&] { holder.load(1, "no/such/file.png"); }),
            "ResourceHolder::load - Failed to load no/such/file.png");
  EXPECT_FALSE(holder.contains(1));
}

TEST(ResourceManager, AMissingFontStopsLoadingWithThePath) {
  struct Fonts : vexa::ResourceManager {
    bool loadResources() override {
      const vexa::PathManager paths;
      fonts().load(0, paths.fontsPath() + "missing.ttf");
      return true;
    }
  } resources;
  EXPECT_TRUE(resources.init());
  EXPECT_EQ(loadError([&] { resources.loadResources(); }),
            "ResourceHolder::load - Failed to load resources/fonts/missing.ttf");
}
