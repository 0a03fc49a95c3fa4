#include "app/commandline.h"

namespace pod {

const char* const cUsage = "Usage: vuzuder [--replay FILE] [--bot NAME=COMMAND]...";

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::string withValue = "--replay=";
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
