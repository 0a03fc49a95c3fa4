#include "app/podpathmanager.h"

namespace pod {

std::string PodPathManager::tracksPath() const {
  return resourcesPath() + "tracks/";
}

} // namespace pod
