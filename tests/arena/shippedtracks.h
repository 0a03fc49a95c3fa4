#pragma once

#include <string>

namespace pod::arena {

// The tracks that ship with the game, read from the source tree.
inline const std::string kTracks = std::string(VUZUDER_SOURCE_DIR) + "/resources/tracks";

} // namespace pod::arena
