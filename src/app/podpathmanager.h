#pragma once

#include <vexa/core/pathmanager.h>

#include <string>

namespace pod {

// The engine's folders under the data folder found at start-up (the working
// folder's resources/ in a checkout, else VUZUDER_DATA or the installed
// data), plus the shipped tracks and the player's own files.
class PodPathManager : public vexa::PathManager {
public:
  std::string resourcesPath() const override;
  std::string tracksPath() const;        // shipped tracks
  std::string playerTracksPath() const;  // tracks the editor saves; tracksPath() in a checkout
  std::string replaysPath() const;       // saved races
};

} // namespace pod
