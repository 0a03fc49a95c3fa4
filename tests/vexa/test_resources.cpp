#include <gtest/gtest.h>
#include <vexa/core/pathmanager.h>
#include <vexa/core/resourcemanager.h>

#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

// Loads any file that exists.
struct AnyFile {
  bool loadFromFile(const std::string& file) { return std::ifstream(file).good(); }
};

std::string loadError(const std::function<void()>& load) {
  try {
    load();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

} // namespace

TEST(ResourceHolder, MissingFilesThrowWithTheirPathAndDeclaredOnesLoadOnFirstUse) {
  ResourceHolder<AnyFile, std::uint32_t> holder;
  EXPECT_EQ(loadError([&] { holder.load(1, "no/such/file.png"); }),
            "ResourceHolder::load - Failed to load no/such/file.png");
  EXPECT_FALSE(holder.contains(1));

  // A game's resource manager stops at the first missing font.
  struct Fonts : vexa::ResourceManager {
    bool loadResources() override {
      fonts().load(0, vexa::PathManager().fontsPath() + "missing.ttf");
      return true;
    }
  } resources;
  EXPECT_TRUE(resources.init());
  EXPECT_EQ(loadError([&] { resources.loadResources(); }),
            "ResourceHolder::load - Failed to load resources/fonts/missing.ttf");

  // A declared file is read on its first get, prepared once, and a file that
  // is not there fails when declared, as a load would.
  {
    struct Counted {
      int reads = 0;
      int prepared = 0;
      bool loadFromFile(const std::string& file) {
        ++reads;
        return std::ifstream(file).good();
      }
    };
    const std::string file = ::testing::TempDir() + "declared.txt";
    std::ofstream(file) << "x";
    ResourceHolder<Counted, std::uint32_t> holder;
    holder.declare(3, file, [](Counted& c) { ++c.prepared; });
    EXPECT_TRUE(holder.contains(3));
    EXPECT_FALSE(holder.isLoaded(3));
    const Counted& first = holder.get(3);
    const Counted& again = holder.get(3);
    EXPECT_EQ(&first, &again);
    EXPECT_EQ(1, again.reads);
    EXPECT_EQ(1, again.prepared);
    // Released, it is read and prepared afresh on the next get.
    EXPECT_TRUE(holder.release(3));
    EXPECT_FALSE(holder.isLoaded(3) || holder.release(3));
    EXPECT_EQ(1, holder.get(3).reads);
    EXPECT_TRUE(holder.isLoaded(3));
    EXPECT_EQ(loadError([&] { holder.declare(4, "no/such/file.png"); }),
              "ResourceHolder::load - Failed to load no/such/file.png");
    EXPECT_FALSE(holder.contains(4));
  }
}

