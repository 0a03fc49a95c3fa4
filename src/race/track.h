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

  std::string name;
  std::vector<Checkpoint> checkpoints;

  // Replaces the content with the file's. On failure returns false, keeps what
  // was read so far and, when error is given, says why in one line. Anything
  // but a regular file, a file over 1 MiB or a line over 4 KiB is refused.
  bool load(const std::string& path, std::string* error = nullptr);

  // Writes through a temporary file renamed over the target, so a failed save
  // leaves any previous file intact.
  bool save(const std::string& path) const;
};

} // namespace pod
