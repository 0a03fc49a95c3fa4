#pragma once

#include <string>

namespace pod {

// The choices remembered between launches, in
// $XDG_CONFIG_HOME/vuzuder/settings.ini. Drivers and the track are kept by
// name: one that no longer exists falls back to the default where it is used.
struct Settings {
  static constexpr unsigned cMaxSide = 16384;

  bool timeAttack = false;
  std::string team1;  // a driver's label; empty: none chosen
  std::string team2;
  std::string track;  // a track's name; empty: the first
  int speed = 3;      // index of the game speeds x0.5 .. x4
  int theme = 0;      // index of the race themes
  unsigned width = 1600;
  unsigned height = 900;

  bool operator==(const Settings& other) const;
};

// Reads the file. A missing, unreadable or damaged file gives the defaults
// and a line in `warning`; a bad value gives its default and the warning.
Settings loadSettings(const std::string& path, std::string& warning);
std::string formatSettings(const Settings& settings);
bool saveSettings(const std::string& path, const Settings& settings, std::string& error);

// The settings file of this user; empty without a home folder.
std::string settingsPath();

// The settings of this run: read at start-up, kept up to date by the
// screens, written at exit.
Settings& settings();

} // namespace pod
