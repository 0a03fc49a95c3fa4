#include "app/settings.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class SettingsFile : public ::testing::Test {
protected:
  void SetUp() override {
    path_ = (fs::temp_directory_path() /
             ("vuzuder-settings-" + std::to_string(::getpid()) + ".ini")).string();
  }
  void TearDown() override { fs::remove(path_); }
  pod::Settings loadText(const std::string& text, std::string& warning) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
    return pod::loadSettings(path_, warning);
  }
  std::string path_;
};

TEST_F(SettingsFile, WhatIsSavedComesBack) {
  pod::Settings chosen;
  chosen.timeAttack = true;
  chosen.team1 = "Genetic (separate)";
  chosen.team2 = "my bot";
  chosen.track = "Hairpin Alley";
  chosen.speed = 5;
  chosen.theme = 1;
  chosen.width = 1920;
  chosen.height = 1080;
  std::string error;
  ASSERT_TRUE(pod::saveSettings(path_, chosen, error)) << error;
  std::string warning;
  EXPECT_EQ(pod::loadSettings(path_, warning), chosen);
  EXPECT_EQ(warning, "");
}

TEST_F(SettingsFile, BadValuesGiveTheirDefaultAndOneWarning) {
  const pod::Settings defaults;
  std::string warning;
  // Out of range, wrong type or absurd: each falls back alone.
  pod::Settings read = loadText("mode = time attack\nspeed = x9\ntheme = 7\nwidth = 99999999999\n"
                                "height = -5\nteam1 = Genetic\ntrack = \x1b[2J\n",
                                warning);
  EXPECT_TRUE(read.timeAttack);
  EXPECT_EQ(read.team1, "Genetic");
  EXPECT_EQ(read.speed, defaults.speed);
  EXPECT_EQ(read.theme, defaults.theme);
  EXPECT_EQ(read.width, defaults.width);
  EXPECT_EQ(read.height, defaults.height);
  EXPECT_EQ(read.track, defaults.track);
  EXPECT_NE(warning, "");
  EXPECT_EQ(warning.find('\n'), std::string::npos);

  // A window below the game's minimum is out of range too.
  EXPECT_EQ(loadText("width = 640\n", warning).width, defaults.width);

  // A damaged file gives every default.
  EXPECT_EQ(loadText(std::string("mode = time attack\n\0garbage", 26), warning), defaults);
  EXPECT_NE(warning, "");
}

} // namespace
