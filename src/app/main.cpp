#include "app/display.h"
#include "app/podapp.h"

#include <cstdlib>
#include <ctime>
#include <exception>
#include <iostream>

int main() {
  // Without a display, or with one that does not answer, the window library
  // aborts; say why and stop instead.
  if (!pod::hasReachableDisplay()) {
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
