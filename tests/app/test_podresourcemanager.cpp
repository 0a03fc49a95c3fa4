#include "app/podpathmanager.h"
#include "app/podresourcemanager.h"
#include "testapp.h"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

// A resources folder of tiny textures, each as wide as a number of its own
// so that a test can tell which file ended under which id.
class PodResourceManagerDisplay : public ::testing::Test {
protected:
  void SetUp() override {
    testapp::app();
    root_ = fs::temp_directory_path() /
            ("vuzuder-resources-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "textures");
    fs::create_directories(root_ / "fonts");
    fs::copy_file(fs::path(VUZUDER_SOURCE_DIR) / "resources/fonts/monofonto.ttf",
                  root_ / "fonts/monofonto.ttf");

    unsigned width = 1;
    const auto add = [&](const std::string& name) {
      sf::Image image;
      image.create(width, 2, sf::Color::White);
      ASSERT_TRUE(image.saveToFile((root_ / "textures" / name).string()));
      widths_[name] = width++;
    };
    for (const char* name :
         {"particle_trail.png", "particle_engine.png", "particle_spark.png",
          "ui_gamemode.png", "ui_teamname.png", "ui_teamname_mask.png", "logo.png",
          "keys_p1.png", "keys_p2.png", "cursor.png", "logo_cpp.png",
          "logo_sfml.png", "logo_tarvok.png"})
      add(name);
    for (const char* theme : {"default", "night"}) {
      for (const char* prefix : {"ship_1_1-", "ship_1_2-", "ship_2_1-", "ship_2_2-",
                                 "checkpoint_base-", "checkpoint_flash_mask-",
                                 "background-"})
        add(std::string(prefix) + theme + ".png");
    }

    previousRoot_ = testapp::paths().root;
    testapp::paths().root = root_.string() + "/";
  }

  void TearDown() override {
    testapp::paths().root = previousRoot_;
    fs::remove_all(root_);
  }

  unsigned widthOf(const std::string& name) { return widths_.at(name); }

  fs::path root_;
  std::string previousRoot_;
  std::map<std::string, unsigned> widths_;
};

TEST_F(PodResourceManagerDisplay, EveryIdHoldsItsFile) {
  pod::PodResourceManager resources;
  ASSERT_TRUE(resources.loadResources());

  const std::map<std::uint32_t, std::string> fixed = {
      {0, "particle_trail.png"}, {1, "particle_engine.png"}, {2, "particle_spark.png"},
      {3, "ui_gamemode.png"},    {4, "ui_teamname.png"},     {5, "ui_teamname_mask.png"},
      {6, "logo.png"},           {7, "keys_p1.png"},         {8, "keys_p2.png"},
      {9, "cursor.png"},         {50, "logo_cpp.png"},       {51, "logo_sfml.png"},
      {52, "logo_tarvok.png"}};
  for (const auto& [id, name] : fixed) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(resources.hasTexture(id));
    EXPECT_EQ(resources.texture(id).getSize().x, widthOf(name));
    EXPECT_FALSE(resources.texture(id).isSmooth());
  }

  // Both themes, ten ids apart; the default pod 2 of team 2 is 13 and the
  // night background 26.
  EXPECT_EQ(resources.texture(13).getSize().x, widthOf("ship_2_2-default.png"));
  EXPECT_EQ(resources.texture(26).getSize().x, widthOf("background-night.png"));
  const char* prefixes[] = {"ship_1_1-", "ship_1_2-", "ship_2_1-", "ship_2_2-",
                            "checkpoint_base-", "checkpoint_flash_mask-", "background-"};
  ASSERT_EQ(pod::PodResourceManager::getNbThemes(), 2u);
  for (std::uint32_t theme = 0; theme < 2; ++theme) {
    const std::string name = pod::PodResourceManager::themeNames()[theme];
    for (std::uint32_t kind = 0; kind < pod::ThemeTexture::Count; ++kind) {
      const std::uint32_t id = pod::PodResourceManager::themeTextureId(theme, kind);
      EXPECT_EQ(id, 10 + 10 * theme + kind);
      SCOPED_TRACE(id);
      ASSERT_TRUE(resources.hasTexture(id));
      EXPECT_EQ(resources.texture(id).getSize().x,
                widthOf(std::string(prefixes[kind]) + name + ".png"));
      // The flash mask is read by a shader as it is.
      EXPECT_EQ(resources.texture(id).isSmooth(),
                kind != pod::ThemeTexture::CheckpointFlashMask);
    }
    for (std::uint32_t unused = 17; unused < 20; ++unused)
      EXPECT_FALSE(resources.hasTexture(unused + 10 * theme));
  }
  EXPECT_FALSE(resources.hasTexture(30));
  EXPECT_EQ(resources.font(pod::FontId::Main).getInfo().family.empty(), false);
}

TEST_F(PodResourceManagerDisplay, AMissingFileStopsLoadingWithItsName) {
  fs::remove(root_ / "textures" / "cursor.png");
  pod::PodResourceManager resources;
  try {
    resources.loadResources();
    FAIL() << "loading went through without cursor.png";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()),
              "ResourceHolder::load - Failed to load " + root_.string() +
                  "/textures//cursor.png");
  }
}

TEST_F(PodResourceManagerDisplay, AMissingFontIsReportedFirst) {
  fs::remove(root_ / "fonts" / "monofonto.ttf");
  pod::PodResourceManager resources;
  EXPECT_THROW(
      {
        try {
          resources.loadResources();
        } catch (const std::runtime_error& error) {
          EXPECT_NE(std::string(error.what()).find("fonts/monofonto.ttf"), std::string::npos);
          throw;
        }
      },
      std::runtime_error);
}

TEST(PodPathManager, TracksLiveBesideTheOtherFolders) {
  pod::PodPathManager paths;
  EXPECT_EQ(paths.tracksPath(), "resources/tracks/");
  testapp::TestPathManager moved;
  moved.root = "/tmp/elsewhere/";
  EXPECT_EQ(moved.tracksPath(), "/tmp/elsewhere/tracks/");
  EXPECT_EQ(moved.texturesPath(), "/tmp/elsewhere/textures/");
}

} // namespace
