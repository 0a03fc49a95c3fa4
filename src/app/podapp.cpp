#include "app/podapp.h"

#include "app/guifactory.h"
#include "app/podinputprocessor.h"
#include "app/podpathmanager.h"
#include "app/podresourcemanager.h"
#include "app/podstatemanager.h"
#include "app/settings.h"

#include <vexa/core/components.h>
#include <vexa/core/focusmanager.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/keymap.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <qutils/assert.h>

#include <algorithm>

namespace pod {

bool PodApp::createComponents() {
  auto stateManager = std::make_unique<PodStateManager>();
  auto resourceManager = std::make_unique<PodResourceManager>();
  auto pathManager = std::make_unique<PodPathManager>();
  auto inputProcessor = std::make_unique<PodInputProcessor>();
  auto inputManager = std::make_unique<vexa::InputManager>();
  auto guiFactory = std::make_unique<GuiFactory>();
  auto graphics = std::make_unique<vexa::Graphics>();
  auto focusManager = std::make_unique<vexa::FocusManager>();
  return setComponents(this, std::move(focusManager), std::move(graphics),
                       std::move(guiFactory), std::move(inputManager),
                       std::move(inputProcessor), std::move(pathManager),
                       std::move(resourceManager), std::move(stateManager));
}

bool PodApp::init() {
  if (!vexa::Application::init())
    return false;

  // Registration order fixes the button ids.
  for (const std::string& button : vexa::standardButtons())
    vexa::inputManager().addButton(button);
  for (const std::string& button : PodInputProcessor::replayButtons())
    vexa::inputManager().addButton(button);
  for (const std::string& button : PodInputProcessor::editorButtons())
    vexa::inputManager().addButton(button);

  setFrameRate(1.f / 60.f);
  // The size of the last run's window, read with the settings.
  vexa::graphics().create(std::max(settings().width, cMinWidth),
                          std::max(settings().height, cMinHeight),
                          vexa::Graphics::cDefaultStyle);
  vexa::stateManager().onResize();
  vexa::graphics().setTitle("Vuzuder UR");

  sf::Image icon;
  if (!icon.loadFromFile(vexa::pathManager().resourcesPath() + "icon.png")) {
    // The game runs without an icon: report, do not stop.
    Q_REPORT(false);
    return false;
  }
  vexa::graphics().window()->setIcon(icon.getSize().x, icon.getSize().y,
                                     icon.getPixelsPtr());
  return true;
}

void PodApp::close() {
  // The window's size is remembered for the next run.
  if (sf::RenderWindow* window = vexa::graphics().window(); window && window->isOpen()) {
    settings().width = window->getSize().x;
    settings().height = window->getSize().y;
  }
  vexa::Application::close();
}

bool PodApp::run() { return runPaced(cMinWidth, cMinHeight); }

} // namespace pod
