#pragma once

#include <vexa/core/pathmanager.h>

#include <string>

namespace pod {

// The engine's folders plus the track folder.
class PodPathManager : public vexa::PathManager {
public:
  std::string tracksPath() const;
};

} // namespace pod
