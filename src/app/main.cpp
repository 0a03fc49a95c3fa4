#include "app/podapp.h"
#include "bots/botprocess.h"
#include "bots/gamebotbrain.h"

#include <cstdlib>
#include <ctime>
#include <exception>
#include <iostream>
#include <string>

namespace {

// "--bot NAME=COMMAND", up to four: external programs offered as drivers.
bool readBotOptions(int argc, char** argv) {
  std::string error;
  if (!pod::bots::parseGameBotOptions({argv + 1, argv + argc}, pod::bots::gameBots(), &error)) {
    std::cerr << "vuzuder: " << error << std::endl;
    return false;
  }
  if (!pod::bots::gameBots().empty())
    pod::bots::installInterruptCleanup("vuzuder: interrupted; bots ended\n");
  return true;
}

} // namespace

int main(int argc, char** argv) {
  if (!readBotOptions(argc, argv))
    return 2;
  // Without a display the window library aborts; say why and stop instead.
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    std::cerr << "No display found: Vuzuder UR needs a graphical session."
              << std::endl;
    return EXIT_FAILURE;
  }

  std::srand(static_cast<unsigned>(std::time(nullptr)));

  pod::PodApp app;
  try {
    // Its result is not needed: a failure that matters throws, and a missing
    // icon leaves a playable game.
    app.init();
  } catch (const std::exception& e) {
    // A missing resource: nothing was shown yet, say which file and stop.
    std::cerr << e.what() << std::endl;
    return EXIT_FAILURE;
  }
  app.run();
  return EXIT_SUCCESS;
}
