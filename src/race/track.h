#pragma once

#include <qutils/vec2.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pod {

struct Checkpoint {
  std::uint32_t id = 0;
  qutils::Vec2 position;
};

// A named loop of checkpoints of radius 200, stored in ".prt" files.
struct Track {
  // Limits of a file that load accepts; larger files are refused unread.
  static constexpr std::size_t cMaxFileSize = 1024 * 1024;
  static constexpr std::size_t cMaxLineLength = 4096;
  // Limits of what a track may hold, wherever it comes from (see trackProblem).
  static constexpr std::size_t cMinCheckpoints = 2;
  static constexpr std::size_t cMaxCheckpoints = 100;
  static constexpr float cMaxCoordinate = 100000.f;
  static constexpr float cMinStartGap = 1.f;

  std::string name;
  std::vector<Checkpoint> checkpoints;

  // Replaces the content with the file's. On failure returns false, keeps what
  // was read so far and, when error is given, says why in one line. Anything
  // but a regular file, a file over 1 MiB or a line over 4 KiB is refused, and
  // so is a track that trackProblem finds fault with.
  bool load(const std::string& path, std::string* error = nullptr);
  // The same from the file's text.
  bool read(const std::string& text, std::string* error = nullptr);

  // Writes through a temporary file renamed over the target, so a failed save
  // leaves any previous file intact.
  bool save(const std::string& path) const;
};

// Empty when the track can be raced, else the first reason why not: the name
// is UTF-8 text of at most 256 bytes without control characters; there are 2
// to 100 checkpoints; every coordinate lies within +-100000; checkpoints 0
// and 1 are at least 1 unit apart, so the start line has a direction.
std::string trackProblem(const Track& track);

} // namespace pod
