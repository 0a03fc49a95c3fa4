#include "app/commandline.h"

namespace pod {

const char* const cUsage =
    "Usage: vuzuder [--replay FILE] [--bot NAME=COMMAND]... [--help] [--version]";

const char* const cHelp =
    "Vuzuder UR: a pod-racing game and a test bench for racing AIs.\n"
    "\n"
    "Options:\n"
    "  --replay FILE          play a race trace (JSON Lines) instead of showing the menu\n"
    "  --bot NAME=COMMAND     offer an external bot program as driver NAME; up to four\n"
    "  --help                 print this help and exit\n"
    "  --version              print the version and exit\n"
    "\n"
    "Files:\n"
    "  The game data is read from resources/ in the working folder, else from the\n"
    "  folder named by VUZUDER_DATA, else from ../share/games/vuzuder beside the\n"
    "  program. Tracks made in the editor and saved replays go to\n"
    "  $XDG_DATA_HOME/vuzuder (default ~/.local/share/vuzuder), or to the\n"
    "  checkout's folders when run from a writable checkout. Choices are\n"
    "  remembered in $XDG_CONFIG_HOME/vuzuder/settings.ini (default ~/.config).\n";

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::string withValue = "--replay=";
    if (arg == "--help" || arg == "-h") {
      line.help = true;
      continue;
    }
    if (arg == "--version") {
      line.version = true;
      continue;
    }
    if (arg == "--bot") {
      if (i + 1 >= args.size()) {
        line.error = "--bot needs NAME=COMMAND";
        return line;
      }
      line.botArgs.push_back(arg);
      line.botArgs.push_back(args[++i]);
      continue;
    }
    if (arg.compare(0, 6, "--bot=") == 0) {
      line.botArgs.push_back(arg);
      continue;
    }
    if (arg == "--replay") {
      if (i + 1 >= args.size()) {
        line.error = "--replay needs a trace file";
        return line;
      }
      line.replay = args[++i];
    } else if (arg.compare(0, withValue.size(), withValue) == 0) {
      line.replay = arg.substr(withValue.size());
    } else {
      line.error = "unknown argument '" + arg + "'";
      return line;
    }
    if (line.replay.empty()) {
      line.error = "--replay needs a trace file";
      return line;
    }
  }
  return line;
}

} // namespace pod
