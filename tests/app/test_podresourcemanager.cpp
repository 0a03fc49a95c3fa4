#include "app/podresourcemanager.h"
#include "testapp.h"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Every texture file under its id: the fixed ones, then both themes ten ids
// apart from 10.
std::vector<std::pair<std::uint32_t, std::string>> expectedIds() {
  std::vector<std::pair<std::uint32_t, std::string>> ids = {
      {0, "particle_trail.png"}, {1, "particle_engine.png"}, {2, "particle_spark.png"},
      {3, "ui_gamemode.png"},    {4, "ui_teamname.png"},     {5, "ui_teamname_mask.png"},
      {6, "logo.png"},           {7, "keys_p1.png"},         {8, "keys_p2.png"},
      {9, "cursor.png"},         {50, "logo_cpp.png"},       {51, "logo_sfml.png"},
      {52, "logo_tarvok.png"}};
  const char* prefixes[] = {"ship_1_1-", "ship_1_2-", "ship_2_1-", "ship_2_2-",
                            "checkpoint_base-", "checkpoint_flash_mask-", "background-"};
  for (std::uint32_t theme : {0u, 1u})
    for (std::uint32_t kind = 0; kind < 7; ++kind)
      ids.push_back({10 + 10 * theme + kind,
                     std::string(prefixes[kind]) + (theme ? "night" : "default") + ".png"});
  return ids;
}

// A resources folder of tiny textures, each one pixel wider than its id so
// that the test can tell which file ended under which id.
TEST(PodResourceManagerDisplay, EveryIdHoldsItsFileAndAMissingFileStopsLoadingWithItsName) {
  testapp::app();
  const fs::path root = fs::temp_directory_path() / "vuzuder-resources";
  fs::remove_all(root);
  fs::create_directories(root / "textures");
  fs::create_directories(root / "fonts");
  fs::copy_file(fs::path(VUZUDER_SOURCE_DIR) / "resources/fonts/monofonto.ttf",
                root / "fonts/monofonto.ttf");
  for (const auto& [id, name] : expectedIds()) {
    sf::Image image;
    image.create(id + 1, 2, sf::Color::White);
    ASSERT_TRUE(image.saveToFile((root / "textures" / name).string()));
  }
  struct Restore {
    std::string previous;
    ~Restore() { testapp::paths().root = previous; }
  } restore{testapp::paths().root};
  testapp::paths().root = root.string() + "/";

  pod::PodResourceManager resources;
  EXPECT_TRUE(resources.loadResources());
  for (const auto& [id, name] : expectedIds()) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(resources.hasTexture(id));
    EXPECT_EQ(resources.texture(id).getSize().x, id + 1);
    // Theme textures are smoothed but for the flash mask, read by a shader as it is.
    EXPECT_EQ(resources.texture(id).isSmooth(), id >= 10 && id < 30 && id % 10 != 5);
  }
  EXPECT_EQ(pod::PodResourceManager::themeTextureId(1, pod::ThemeTexture::Background), 26u);
  for (std::uint32_t unused : {17u, 19u, 27u, 30u})
    EXPECT_FALSE(resources.hasTexture(unused));

  const auto loadError = [] {
    try {
      pod::PodResourceManager().loadResources();
    } catch (const std::runtime_error& error) {
      return std::string(error.what());
    }
    return std::string("loading went through");
  };
  fs::remove(root / "textures" / "cursor.png");
  EXPECT_EQ(loadError(), "ResourceHolder::load - Failed to load " + root.string() +
                             "/textures//cursor.png");
  // The font is read first.
  fs::remove(root / "fonts" / "monofonto.ttf");
  EXPECT_NE(loadError().find("fonts/monofonto.ttf"), std::string::npos);
  fs::remove_all(root);
}

} // namespace
