#include "app/settings.h"

#include "race/gamespeed.h"

#include <qutils/gamefolders.h>
#include <qutils/inifile.h>

#include <map>
#include <sstream>

namespace pod {

namespace {

constexpr int cThemeCount = 2;
constexpr unsigned cMinWidth = 1280;
constexpr unsigned cMinHeight = 850;

// Whole decimal numbers only, within [low, high].
bool readNumber(const std::string& text, long low, long high, long& out) {
  if (text.empty() || text.size() > 9)
    return false;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return false;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high)
    return false;
  out = value;
  return true;
}

} // namespace

bool Settings::operator==(const Settings& o) const {
  return timeAttack == o.timeAttack && team1 == o.team1 && team2 == o.team2 &&
         track == o.track && speed == o.speed && theme == o.theme && width == o.width &&
         height == o.height;
}

Settings loadSettings(const std::string& path, std::string& warning) {
  Settings settings;
  warning.clear();
  std::map<std::string, std::string> values;
  std::string why;
  if (!qutils::readIni(path, values, why)) {
    warning = "settings " + path + " not read (" + why + "): defaults";
    return settings;
  }
  std::string bad;
  const auto reject = [&bad](const std::string& key) {
    if (bad.empty())
      bad = key;
  };
  for (const auto& [key, value] : values) {
    long number = 0;
    if (key == "mode") {
      if (value == "race" || value == "time attack")
        settings.timeAttack = value == "time attack";
      else
        reject(key);
    } else if (key == "team1" || key == "team2" || key == "track") {
      // Printable text of a sane length; whether it still exists is decided
      // where it is used.
      bool printable = value.size() <= 128;
      for (unsigned char c : value)
        printable = printable && c >= 0x20 && c != 0x7f;
      if (!printable)
        reject(key);
      else
        (key == "team1" ? settings.team1 : key == "team2" ? settings.team2 : settings.track) = value;
    } else if (key == "speed") {
      int found = -1;
      for (int i = 0; i < gamespeed::kCount; ++i)
        if (value == gamespeed::kLabels[i])
          found = i;
      if (found < 0)
        reject(key);
      else
        settings.speed = found;
    } else if (key == "theme") {
      if (readNumber(value, 0, cThemeCount - 1, number))
        settings.theme = static_cast<int>(number);
      else
        reject(key);
    } else if (key == "width") {
      if (readNumber(value, cMinWidth, Settings::cMaxSide, number))
        settings.width = static_cast<unsigned>(number);
      else
        reject(key);
    } else if (key == "height") {
      if (readNumber(value, cMinHeight, Settings::cMaxSide, number))
        settings.height = static_cast<unsigned>(number);
      else
        reject(key);
    }
    // Unknown keys are left alone: a later version may write more.
  }
  if (!bad.empty())
    warning = "settings " + path + ": bad value for '" + bad + "', its default is used";
  return settings;
}

std::string formatSettings(const Settings& s) {
  std::ostringstream out;
  out << "# Vuzuder UR: the choices of the last run, written by the game.\n"
      << "mode = " << (s.timeAttack ? "time attack" : "race") << '\n'
      << "team1 = " << s.team1 << '\n'
      << "team2 = " << s.team2 << '\n'
      << "track = " << s.track << '\n'
      << "speed = "
      << gamespeed::kLabels[s.speed >= 0 && s.speed < gamespeed::kCount ? s.speed : 3] << '\n'
      << "theme = " << s.theme << '\n'
      << "width = " << s.width << '\n'
      << "height = " << s.height << '\n';
  return out.str();
}

bool saveSettings(const std::string& path, const Settings& settings, std::string& error) {
  return qutils::writeFileAtomically(path, formatSettings(settings), error);
}

std::string settingsPath() {
  const std::string folder = qutils::configFolder();
  return folder.empty() ? "" : folder + "settings.ini";
}

Settings& settings() {
  static Settings current;
  return current;
}

} // namespace pod
