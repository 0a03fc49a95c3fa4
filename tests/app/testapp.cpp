#include "testapp.h"

#include "app/guifactory.h"
#include "app/podinputprocessor.h"
#include "app/podresourcemanager.h"

#include <vexa/core/components.h>
#include <vexa/core/focusmanager.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/keymap.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace testapp {

namespace {

std::unique_ptr<TestApp>& holder() {
  static std::unique_ptr<TestApp> app;
  return app;
}

} // namespace

bool TestApp::createComponents() {
  return setComponents(this, std::make_unique<vexa::FocusManager>(),
                       std::make_unique<vexa::Graphics>(),
                       std::make_unique<pod::GuiFactory>(),
                       std::make_unique<vexa::InputManager>(),
                       std::make_unique<pod::PodInputProcessor>(),
                       std::make_unique<TestPathManager>(),
                       std::make_unique<pod::PodResourceManager>(),
                       std::make_unique<RecordingStateManager>());
}

bool TestApp::init() {
  const bool ok = pod::PodApp::init();
  // Not the game's title: scripts look for the game's window by it.
  vexa::graphics().setTitle("vuzuder unit tests");
  return ok;
}

TestApp& app() {
  std::unique_ptr<TestApp>& app = holder();
  if (!app) {
    if (chdir(VUZUDER_SOURCE_DIR) != 0)
      ADD_FAILURE() << "cannot enter " << VUZUDER_SOURCE_DIR;
    app = std::make_unique<TestApp>();
    app->init();
    // Registered after the registry came to be, so it runs before the
    // registry is destroyed.
    std::atexit([] { holder().reset(); });
  }
  return *app;
}

void headlessRegistry() {
  if (holder() || vexa::components().inputManager())
    return;
  auto input = std::make_unique<vexa::InputManager>();
  input->init();
  for (const std::string& button : vexa::standardButtons())
    input->addButton(button);
  for (const std::string& button : pod::PodInputProcessor::replayButtons())
    input->addButton(button);
  for (const std::string& button : pod::PodInputProcessor::editorButtons())
    input->addButton(button);
  vexa::components().set(nullptr, std::make_unique<vexa::FocusManager>(),
                         nullptr, nullptr, std::move(input),
                         std::make_unique<pod::PodInputProcessor>(), nullptr,
                         nullptr, nullptr);
}

TestPathManager& paths() {
  app();
  return dynamic_cast<TestPathManager&>(vexa::pathManager());
}

RecordingStateManager& states() {
  app();
  return dynamic_cast<RecordingStateManager&>(vexa::stateManager());
}

} // namespace testapp
