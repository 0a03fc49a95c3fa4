// The game with the race screen wired in, for the end-to-end test, the
// screenshots and the race benchmark. With no arguments it is the game;
//   --race NAME1 NAME2 [--speed I] [--track 0|1] [--theme T] [--debug]
//          [--time-attack] [--player] [--select POD]
// starts races at once between two computer drivers of the menu.
#include "raceharness.h"

#include "app/inputbuttonstates.h"
#include "brains/driverregistry.h"
#include "brains/playerbrain.h"

#include <cstdlib>
#include <ctime>
#include <exception>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  std::string first, second;
  int speed = -1, theme = -1, select = -1, track = 0;
  bool debug = false, timeAttack = false, player = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool valued = i + 1 < argc;
    if (arg == "--race" && i + 2 < argc) {
      first = argv[++i];
      second = argv[++i];
    } else if (valued && (arg == "--speed" || arg == "--theme" || arg == "--select" ||
                          arg == "--track")) {
      const int value = std::atoi(argv[++i]);
      (arg == "--speed" ? speed : arg == "--theme" ? theme : arg == "--select" ? select : track) =
          value;
    } else {
      timeAttack = timeAttack || arg == "--time-attack";
      player = player || arg == "--player";
      debug = debug || arg == "--debug";
    }
  }

  raceharness::HarnessApp app;
  try {
    app.init();
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return EXIT_FAILURE;
  }
  if (!first.empty()) {
    auto* states = &raceharness::states();
    pod::RaceConfiguration config;
    config.track.load("resources/tracks/" +
                      std::string(track % 2 == 0 ? "grand_prix_loop.prt" : "boomerang.prt"));
    std::vector<std::string> names = {first, second};
    if (timeAttack) {
      config.timeAttack = true;
      config.nbPodsPerTeam = 1;
      names = {first, second, first, second};
    }
    for (const std::string& name : names) {
      std::unique_ptr<pod::AbstractBrain> brain;
      if (player && config.brains.empty()) {
        brain = std::make_unique<pod::PlayerBrain>(pod::keyboardButtons());
        config.player1Pod = 0;
      } else {
        brain = pod::createDriver(name, timeAttack);
      }
      if (!brain) {
        std::cerr << "Unknown driver " << name << std::endl;
        return EXIT_FAILURE;
      }
      brain->setTeam(static_cast<int>(config.brains.size()));
      config.brains.push_back(std::move(brain));
      config.teamNames.push_back(player && config.teamNames.empty() ? "Player" : name);
    }
    if (speed >= 0)
      states->race()->setSpeed(speed);
    if (theme >= 0)
      states->race()->simulation().selectTheme(static_cast<std::uint32_t>(theme));
    if (debug)
      states->race()->simulation().toggleDebugMode();
    states->goToRace(std::move(config));
    if (select >= 0)
      states->race()->simulation().setSelectedPod(select);
  }
  app.run();
  return EXIT_SUCCESS;
}
