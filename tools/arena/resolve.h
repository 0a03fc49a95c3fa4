#pragma once

#include "race/track.h"

#include <string>
#include <utility>
#include <vector>

// Drivers and tracks as a user names them: on the arena's command line and
// in the Python module. Bad names throw BadInput with a one-line reason.

namespace pod::arena {

struct BotRoster;

std::string lower(std::string text);
// "a, b, c"
std::string joined(const std::vector<std::string>& items);

// The driver's own spelling of a built-in or bot name, matched exactly or
// else ignoring case.
std::string resolveDriver(const std::string& name, bool timeAttack,
                          const BotRoster* bots = nullptr);

struct TrackFile {
  std::string path;
  Track track;
  bool loaded = false;
  bool player = false;  // made in the game's editor, not shipped
  std::string error;
};

// The folder given (--tracks-dir), else the shipped tracks of the data
// folder found from any working folder; empty when no data folder is found.
std::string shippedTracks(const std::string& dir);

// Every ".prt" file of the folder, by file name. With no folder given, the
// shipped tracks followed by the player's own, which never win a name
// lookup against a shipped track since they come later.
std::vector<TrackFile> loadFolder(const std::string& dir);

void requireRaceable(const Track& track, const std::string& label);
Track loadTrackFile(const std::string& path);
// A path rather than a track name: has a slash, ends in ".prt" or is a file.
bool isPathLike(const std::string& arg);

// A file path, or the name (or file stem) of a track in the folder; with the
// source (the path) it came from.
std::pair<Track, std::string> resolveTrack(const std::string& arg,
                                           const std::vector<TrackFile>* folder);

} // namespace pod::arena
