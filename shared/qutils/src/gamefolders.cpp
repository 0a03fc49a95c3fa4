#include "qutils/gamefolders.h"

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace qutils {

namespace fs = std::filesystem;

namespace {

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/')
    folder += '/';
  return folder;
}

bool holdsData(const std::string& folder) {
  std::error_code ec;
  return fs::is_regular_file(fs::path(folder) / "fonts" / "monofonto.ttf", ec) &&
         fs::is_directory(fs::path(folder) / "tracks", ec);
}

std::string homeFolder() {
  std::string home = variable("HOME");
  if (home.empty()) {
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
      home = entry->pw_dir;
  }
  return home;
}

// An XDG variable counts only as an absolute path; otherwise HOME/fallback.
std::string xdgFolder(const std::string& value, const std::string& home, const char* fallback) {
  if (!value.empty() && value.front() == '/')
    return withSlash(value) + "vuzuder/";
  if (home.empty())
    return "";
  return withSlash(home) + fallback + "vuzuder/";
}

} // namespace

bool inBuildTree(const std::string& executable) {
#ifdef VUZUDER_BUILD_TREE
  const std::string tree = withSlash(VUZUDER_BUILD_TREE);
  return !executable.empty() && executable.compare(0, tree.size(), tree) == 0;
#else
  (void)executable;
  return false;
#endif
}

FolderSearch processSearch() {
  FolderSearch search;
  search.dataVariable = variable("VUZUDER_DATA");
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec)
    search.executable = self.string();
  // The programs link this code statically: found in a shared object, it
  // runs in the Python module, whose package folder locates the data.
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&processSearch), &info) && info.dli_fname &&
      info.dli_fname[0] == '/' && fs::path(info.dli_fname).extension() == ".so") {
    const fs::path object = fs::weakly_canonical(info.dli_fname, ec);
    if (!ec)
      search.pythonPackage = object.parent_path().string();
  }
  search.dataHome = variable("XDG_DATA_HOME");
  search.home = homeFolder();
  return search;
}

GameFolders findGameFolders(const FolderSearch& search) {
  GameFolders folders;
  std::vector<std::string> candidates{search.workingData};
  folders.tried.push_back(search.workingData + " (working folder)");
  if (!search.dataVariable.empty()) {
    candidates.push_back(search.dataVariable);
    folders.tried.push_back(search.dataVariable + " (VUZUDER_DATA)");
  } else {
    folders.tried.push_back("VUZUDER_DATA (not set)");
  }
  // <prefix>/games/vuzuder, or <prefix>/lib/pythonX.Y/dist-packages/vuzuder.
  const fs::path prefix =
      !search.pythonPackage.empty() ? fs::path(search.pythonPackage) / ".." / ".." / ".." / ".."
      : !search.executable.empty()  ? fs::path(search.executable).parent_path() / ".."
                                    : fs::path();
  if (!prefix.empty()) {
    const fs::path installed = (prefix / "share" / "games" / "vuzuder").lexically_normal();
    candidates.push_back(installed.string());
    folders.tried.push_back(installed.string());
  }
#ifdef VUZUDER_SOURCE_DATA
  if (inBuildTree(search.executable) || inBuildTree(search.pythonPackage)) {
    candidates.push_back(VUZUDER_SOURCE_DATA);
    folders.tried.push_back(std::string(VUZUDER_SOURCE_DATA) + " (build tree)");
  }
#endif
  for (const std::string& candidate : candidates) {
    if (holdsData(candidate)) {
      folders.data = withSlash(candidate);
      break;
    }
  }

  const bool working = !folders.data.empty() && folders.data == withSlash(search.workingData);
  folders.checkout = working && access((folders.data + "tracks").c_str(), W_OK) == 0;
  if (folders.checkout) {
    folders.playerTracks = folders.data + "tracks/";
    folders.replays = "replays/";
  } else {
    const std::string user = xdgFolder(search.dataHome, search.home, ".local/share/");
    // Without any home folder the player's files stay in the working folder.
    folders.playerTracks = user.empty() ? "tracks/" : user + "tracks/";
    folders.replays = user.empty() ? "replays/" : user + "replays/";
  }
  return folders;
}

const GameFolders& gameFolders() {
  static const GameFolders folders = findGameFolders(processSearch());
  return folders;
}

std::string noDataMessage(const GameFolders& folders) {
  std::string text = "no game data found; looked in: ";
  for (std::size_t i = 0; i < folders.tried.size(); ++i)
    text += (i ? ", " : "") + folders.tried[i];
  return text;
}

std::string configFolder() {
  return xdgFolder(variable("XDG_CONFIG_HOME"), homeFolder(), ".config/");
}

} // namespace qutils
