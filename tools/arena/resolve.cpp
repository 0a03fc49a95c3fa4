#include "resolve.h"

#include "badinput.h"
#include "botroster.h"
#include "cliparse.h"

#include "brains/driverregistry.h"

#include <qutils/gamefolders.h>
#include <qutils/text.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace pod::arena {

namespace fs = std::filesystem;

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string joined(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items)
    text += (text.empty() ? "" : ", ") + item;
  return text;
}

std::string resolveDriver(const std::string& name, bool timeAttack,
                          const BotRoster* bots) {
  auto known = computerDriverNames(timeAttack);
  if (bots)
    for (const auto& e : bots->entries)
      known.push_back(e.name);
  for (const auto& k : known)
    if (k == name)
      return k;
  for (const auto& k : known)
    if (lower(k) == lower(name))
      return k;
  throw BadInput{"unknown driver '" + name + "' for " + (timeAttack ? "time attack" : "races") +
                 " (known: " + joined(known) + ")"};
}

namespace {

// The summary names where each track came from: the path must be UTF-8 too.
bool trackFromFile(const std::string& path, Track& track, std::string& error) {
  if (!qutils::isUtf8(path)) {
    error = "the file name is not UTF-8 text";
    return false;
  }
  return track.load(path, &error);
}

void appendFolder(std::vector<TrackFile>& files, const std::string& dir, bool player) {
  std::error_code ec;
  std::vector<std::string> paths;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError) && it->path().extension() == ".prt")
      paths.push_back(it->path().string());
  }
  std::sort(paths.begin(), paths.end());
  for (const auto& p : paths) {
    TrackFile f;
    f.path = p;
    f.player = player;
    f.loaded = trackFromFile(p, f.track, f.error);
    files.push_back(std::move(f));
  }
}

} // namespace

std::string shippedTracks(const std::string& dir) {
  if (!dir.empty())
    return dir;
  const std::string& data = qutils::gameFolders().data;
  return data.empty() ? "" : data + "tracks/";
}

std::vector<TrackFile> loadFolder(const std::string& dir) {
  const std::string shipped = shippedTracks(dir);
  if (shipped.empty())
    throw BadInput{qutils::noDataMessage(qutils::gameFolders()) + " (or give --tracks-dir)"};
  std::error_code ec;
  if (!fs::is_directory(shipped, ec))
    throw BadInput{"cannot read the track folder '" + shipped + "'"};
  std::vector<TrackFile> files;
  appendFolder(files, shipped, false);
  const std::string player = qutils::gameFolders().playerTracks;
  if (dir.empty() && !player.empty() && fs::is_directory(player, ec) &&
      !fs::equivalent(player, shipped, ec))
    appendFolder(files, player, true);
  return files;
}

void requireRaceable(const Track& track, const std::string& label) {
  const std::size_t n = track.checkpoints.size();
  if (n < 2)
    throw BadInput{"track " + label + " has " + std::to_string(n) +
                   (n == 1 ? " checkpoint" : " checkpoints") + "; a race needs at least 2"};
}

Track loadTrackFile(const std::string& path) {
  Track track;
  std::string error;
  if (!trackFromFile(path, track, error))
    throw BadInput{"invalid track '" + path + "': " + oneLine(error)};
  requireRaceable(track, "'" + path + "'");
  return track;
}

bool isPathLike(const std::string& arg) {
  std::error_code ec;
  return arg.find('/') != std::string::npos || fs::path(arg).extension() == ".prt" ||
         fs::is_regular_file(arg, ec);
}

std::pair<Track, std::string> resolveTrack(const std::string& arg,
                                           const std::vector<TrackFile>* folder) {
  if (isPathLike(arg))
    return {loadTrackFile(arg), arg};
  if (folder) {
    for (int pass = 0; pass < 2; ++pass)
      for (const auto& f : *folder) {
        if (!f.loaded)
          continue;
        const std::string stem = fs::path(f.path).stem().string();
        const bool match = pass == 0 ? (f.track.name == arg || stem == arg)
                                     : (lower(f.track.name) == lower(arg) ||
                                        lower(stem) == lower(arg));
        if (match) {
          requireRaceable(f.track, "'" + f.track.name + "'");
          return {f.track, f.path};
        }
      }
    std::vector<std::string> names;
    for (const auto& f : *folder)
      if (f.loaded)
        names.push_back(f.track.name);
    throw BadInput{"unknown track '" + arg + "' (tracks: " + joined(names) + ")"};
  }
  throw BadInput{"unknown track '" + arg + "': no such file"};
}

} // namespace pod::arena
