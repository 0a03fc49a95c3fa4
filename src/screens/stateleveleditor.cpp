#include "screens/stateleveleditor.h"

#include "app/coloredpushbutton.h"
#include "app/guifactory.h"
#include "app/podpathmanager.h"
#include "app/podresourcemanager.h"
#include "app/podstatemanager.h"

#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/pathmanager.h>
#include <vexa/core/resourcemanager.h>
#include <vexa/gui/nodes/shapeshiftertextboxnode.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <sfmlutils/origin.h>
#include <sfmlutils/viewguard.h>

#include <string>

namespace pod {

namespace {

constexpr float cWidgetWidth = 200.f;
constexpr unsigned cHelpSize = 14;
const sf::Color cCheckpointFill(120, 120, 120, 255);
const sf::Color cStatusColour(254, 175, 73, 255);

const char* const cHelp =
    "Right click: new checkpoint    Left drag: move one    Delete: erase the "
    "selected one    Type a name, then Save or Load    Escape: menu";

} // namespace

StateLevelEditor::StateLevelEditor() : vexa::AbstractState(cStateId) {}
StateLevelEditor::~StateLevelEditor() = default;

bool StateLevelEditor::cleanup() { return false; }
void StateLevelEditor::resetTime() {}
void StateLevelEditor::reserved() {}

bool StateLevelEditor::init() {
  sf::RenderWindow* window = vexa::graphics().window();
  camera_.setWindow(window);
  camera_.resetToWindow();
  camera_.setPosition(0.f, 0.f);
  camera_.setFlip(false);
  camera_.setZoom(1.5f);

  auto& factory = vexa::guiFactory();
  vexa::SceneNode& root = sceneGraph_.root();
  fileNameBox_ = factory.createTextBox(&root);
  saveButton_ = static_cast<ColoredPushButton*>(factory.createButton(&root));
  saveButton_->setString("Save");
  loadButton_ = static_cast<ColoredPushButton*>(factory.createButton(&root));
  loadButton_->setString("Load");

  checkpointShape_.setRadius(TrackEdit::cPickRadius);
  checkpointShape_.setPointCount(30);
  checkpointShape_.setFillColor(cCheckpointFill);
  sfmlutils::centerOrigin(checkpointShape_);
  selectedShape_ = checkpointShape_;
  selectedShape_.setOutlineColor(sf::Color::Green);
  selectedShape_.setOutlineThickness(2.f);

  const sf::Font& font = vexa::resourceManager().font(FontId::Main);
  numberText_.setFont(font);
  for (sf::Text* text : {&helpText_, &statusText_}) {
    text->setFont(font);
    text->setCharacterSize(cHelpSize);
  }
  helpText_.setString(cHelp);
  statusText_.setFillColor(cStatusColour);

  fileNameBox_->bindString(&fileName_);
  saveButton_->setCallback([this] { saveTrack(); });
  loadButton_->setCallback([this] { loadTrack(); });
  updateLayout();
  return true;
}

void StateLevelEditor::onResize() {
  if (vexa::components().graphics() && vexa::graphics().window())
    camera_.fitWindowSize();
  updateLayout();
}

void StateLevelEditor::updateLayout() {
  if (!saveButton_)
    return;
  // The widgets' origins are their centres: their left edges line up at 10.
  const float x = 10.f + cWidgetWidth / 2.f;
  fileNameBox_->setPosition(x, 30.f);
  saveButton_->setPosition(x, 60.f);
  loadButton_->setPosition(x, 90.f);
  statusText_.setPosition(10.f, 108.f);
  helpText_.setPosition(10.f + cWidgetWidth + 20.f, 22.f);
}

std::string StateLevelEditor::tracksFolder() const {
  if (auto* paths = dynamic_cast<PodPathManager*>(&vexa::pathManager()))
    return paths->tracksPath();
  return vexa::pathManager().resourcesPath() + "tracks/";
}

qutils::Vec2 StateLevelEditor::mouseWorldPosition() const {
  sf::RenderWindow* window = vexa::graphics().window();
  if (!window)
    return {};
  return vexa::inputManager().mousePosition(*window, camera_.view());
}

int StateLevelEditor::checkpointUnderMouse() const {
  return edit_.checkpointAt(mouseWorldPosition());
}

void StateLevelEditor::showStatus() { statusText_.setString(edit_.status()); }

void StateLevelEditor::saveTrack() {
  edit_.save(tracksFolder(), fileName_.toAnsiString());
  showStatus();
}

void StateLevelEditor::loadTrack() {
  edit_.load(tracksFolder(), fileName_.toAnsiString());
  showStatus();
}

void StateLevelEditor::update(float) {
  vexa::InputManager& input = vexa::inputManager();
  sf::RenderWindow* window = vexa::graphics().window();
  if (!window)
    return;

  const qutils::Vec2 mouse = input.mousePosition(*window, window->getView());
  const bool pressed = input.isPressed("touch");
  const bool released = input.isReleased("touch");
  sceneGraph_.updateHover(mouse);
  // A press or release taken by a widget is not meant for the track.
  const bool guiPressed = pressed && sceneGraph_.touchDown(mouse);
  const bool guiReleased = released && sceneGraph_.touchUp(mouse);

  const qutils::Vec2 world = mouseWorldPosition();
  if (pressed && !guiPressed)
    edit_.select(world);
  else if (released && !guiReleased)
    edit_.select(world);

  const bool typing = boxHadInput_ || fileNameBox_->isEditing();
  if (edit_.selected() >= 0 && input.isHeld("touch") && !guiPressed) {
    edit_.drag(world);
  } else if (input.isPressed("alttouch")) {
    edit_.create(world);
  }
  if (input.isPressed("erase") && !typing)
    edit_.eraseSelected();
  boxHadInput_ = fileNameBox_->isEditing();
  if (input.isPressed("escape") && !typing) {
    if (auto* states = dynamic_cast<PodStateManager*>(vexa::components().stateManager()))
      states->goToMenu();
  }
}

void StateLevelEditor::draw(float, float) {
  sf::RenderWindow* window = vexa::graphics().window();
  if (!window)
    return;
  {
    sfmlutils::ViewGuard guard(*window, camera_.view());
    const auto& checkpoints = edit_.track().checkpoints;
    for (std::size_t k = 0; k < checkpoints.size(); ++k) {
      const sf::Vector2f p(checkpoints[k].position.x, checkpoints[k].position.y);
      sf::CircleShape& shape =
          static_cast<int>(k) == edit_.selected() ? selectedShape_ : checkpointShape_;
      shape.setPosition(p);
      window->draw(shape);
      numberText_.setString(std::to_string(k + 1));
      sfmlutils::centerOrigin(numberText_);
      numberText_.setPosition(p);
      window->draw(numberText_);
    }
  }
  window->draw(sceneGraph_);
  window->draw(helpText_);
  window->draw(statusText_);
}

} // namespace pod
