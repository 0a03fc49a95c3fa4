#pragma once

#include "app/podapp.h"
#include "app/podpathmanager.h"
#include "app/podstatemanager.h"
#include "app/raceconfiguration.h"

#include <string>
#include <vector>

// The game's components in the registry, for tests that need them: the real
// classes but for a path manager whose folder can move and a state manager
// that can keep the races it is given instead of releasing them.
namespace testapp {

class TestPathManager : public pod::PodPathManager {
public:
  std::string resourcesPath() const override { return root; }
  std::string root = "resources/";
};

class RecordingStateManager : public pod::PodStateManager {
public:
  void goToRace(pod::RaceConfiguration config) override {
    if (!record) {
      pod::PodStateManager::goToRace(std::move(config));
      return;
    }
    races.push_back(std::move(config));
  }

  bool record = true;
  std::vector<pod::RaceConfiguration> races;
};

class TestApp : public pod::PodApp {
public:
  bool createComponents() override;
  bool init() override;
};

// Builds and initialises the application once per test program, with the
// repository as working folder (the window needs a display). Torn down before
// the program's static objects go.
TestApp& app();
// For tests without a display: an input manager with the sixteen buttons, the
// game's input processor and a focus manager in the registry. Uses the
// application's when it exists.
void headlessRegistry();
TestPathManager& paths();
RecordingStateManager& states();

} // namespace testapp
