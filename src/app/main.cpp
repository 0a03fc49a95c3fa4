#include "app/commandline.h"
#include "app/display.h"
#include "app/podapp.h"
#include "app/podstatemanager.h"
#include "app/settings.h"
#include "bots/botprocess.h"
#include "bots/gamebotbrain.h"
#include "trace/tracereader.h"

#include <qutils/text.h>
#include <vexa/core/components.h>
#include <qutils/gamefolders.h>
#include <qutils/version.h>

#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

// Bad arguments and unreadable traces, before any window opens.
constexpr int cBadInput = 2;

// "--bot NAME=COMMAND", up to four: external programs offered as drivers.
bool readBotOptions(const std::vector<std::string>& args) {
  std::string error;
  if (!pod::bots::parseGameBotOptions(args, pod::bots::gameBots(), &error)) {
    std::cerr << "vuzuder: " << qutils::escapedText(error) << std::endl;
    return false;
  }
  if (!pod::bots::gameBots().empty())
    pod::bots::installInterruptCleanup("vuzuder: interrupted; bots ended\n");
  return true;
}

// Writes the choices of this run for the next one, when any changed.
void rememberAndSave(const std::string& path, const pod::Settings& loaded) {
  if (path.empty())
    return;
  pod::Settings now = pod::settings();  // with the window's last size
  if (auto* states = dynamic_cast<pod::PodStateManager*>(&vexa::stateManager()))
    states->rememberChoices(now);
  std::error_code missing;
  std::string error;
  if (!(now == loaded) || !std::filesystem::exists(path, missing))
    if (!pod::saveSettings(path, now, error))
      std::cerr << "vuzuder: settings not saved: " << error << std::endl;
}

} // namespace

int main(int argc, char** argv) {
  const pod::CommandLine line = pod::parseCommandLine({argv + 1, argv + argc});
  if (!line.error.empty()) {
    std::cerr << "vuzuder: " << qutils::escapedText(line.error) << '\n'
              << pod::cUsage << std::endl;
    return cBadInput;
  }
  if (line.help) {
    std::cout << pod::cUsage << "\n\n" << pod::cHelp << std::flush;
    return EXIT_SUCCESS;
  }
  if (line.version) {
    std::cout << "vuzuder " << qutils::version() << std::endl;
    return EXIT_SUCCESS;
  }
  if (qutils::gameFolders().data.empty()) {
    std::cerr << "vuzuder: " << qutils::noDataMessage(qutils::gameFolders()) << std::endl;
    return cBadInput;
  }
  if (!readBotOptions(line.botArgs))
    return cBadInput;
  const std::string settingsFile = pod::settingsPath();
  pod::Settings loadedSettings;
  if (!settingsFile.empty()) {
    std::string warning;
    pod::settings() = pod::loadSettings(settingsFile, warning);
    // The first run has no file yet: nothing to warn about.
    std::error_code missing;
    if (!warning.empty() && std::filesystem::exists(settingsFile, missing))
      std::cerr << "vuzuder: " << warning << std::endl;
    loadedSettings = pod::settings();
  }

  pod::Trace replay;
  if (!line.replay.empty()) {
    std::string error;
    if (!pod::readTraceFile(line.replay, replay, error)) {
      std::cerr << "vuzuder: cannot replay '" << qutils::escapedText(line.replay)
                << "': " << error << std::endl;
      return cBadInput;
    }
    if (replay.truncated)
      std::cout << "The trace '" << line.replay << "' is cut short: it plays to turn "
                << replay.turnCount() << "." << std::endl;
  }

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
  if (!line.replay.empty()) {
    auto* states = dynamic_cast<pod::PodStateManager*>(vexa::components().stateManager());
    if (!states || !states->goToReplay(std::move(replay)))
      std::cerr << "vuzuder: the replay could not be shown" << std::endl;
  }
  app.run();
  rememberAndSave(settingsFile, loadedSettings);
  return EXIT_SUCCESS;
}
