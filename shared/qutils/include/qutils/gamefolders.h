#pragma once

#include <string>
#include <vector>

namespace qutils {

// Where the game's data (fonts, textures, shaders, shipped tracks) lives and
// where the player's own files go. No SFML: the arena and the Python module
// use it too.
struct GameFolders {
  std::string data;    // the data folder, ending in '/'; empty when none holds the data
  bool checkout = false;  // data is resources/ of the working folder and writable
  std::string playerTracks;  // where the editor saves, ending in '/'
  std::string replays;       // where saved races go, ending in '/'
  std::vector<std::string> tried;  // every place looked at, in order, for the message
};

// What the search looks at; tests give their own.
struct FolderSearch {
  std::string workingData = "resources/";  // relative to the working folder
  std::string dataVariable;  // the value of VUZUDER_DATA, empty when unset
  std::string executable;    // absolute path of the running program, may be empty
  // The Python package folder (…/dist-packages/vuzuder) when this code runs
  // inside the Python module rather than in a program of its own; else empty.
  std::string pythonPackage;
  std::string dataHome;      // the value of XDG_DATA_HOME
  std::string home;          // the home folder
};

// The search of this process: the environment and /proc/self/exe.
FolderSearch processSearch();

// Data in this order: resources/ in the working folder, VUZUDER_DATA, the
// installed folder relative to the executable (../share/games/vuzuder) or to
// the Python package (../../../../share/games/vuzuder), and for a program or
// package still in its build tree, the checkout it was built from.
// A folder holds the data when it has fonts/monofonto.ttf and tracks/.
// The player's files stay in today's folders in a writable checkout and go
// to $XDG_DATA_HOME/vuzuder (default ~/.local/share/vuzuder) otherwise.
GameFolders findGameFolders(const FolderSearch& search);

// The process's answer, computed once.
const GameFolders& gameFolders();

// "no game data found; looked in: A, B, C" for the one line on failure.
std::string noDataMessage(const GameFolders& folders);

// $XDG_CONFIG_HOME/vuzuder/ (default ~/.config/vuzuder/), ending in '/';
// empty when neither the variable nor a home folder is known.
std::string configFolder();

// Whether the program runs from its own build tree.
bool inBuildTree(const std::string& executable);

} // namespace qutils
