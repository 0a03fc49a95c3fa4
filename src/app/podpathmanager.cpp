#include "app/podpathmanager.h"

#include <qutils/gamefolders.h>

namespace pod {

std::string PodPathManager::resourcesPath() const {
  const std::string& data = qutils::gameFolders().data;
  return data.empty() ? vexa::PathManager::resourcesPath() : data;
}

std::string PodPathManager::tracksPath() const {
  return resourcesPath() + "tracks/";
}

std::string PodPathManager::playerTracksPath() const {
  // In a checkout the editor writes beside the shipped tracks, wherever a
  // derived manager moved them.
  const qutils::GameFolders& folders = qutils::gameFolders();
  return folders.checkout ? tracksPath() : folders.playerTracks;
}

std::string PodPathManager::replaysPath() const {
  return qutils::gameFolders().replays;
}

} // namespace pod
