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

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <sfmlutils/origin.h>
#include <sfmlutils/viewguard.h>

#include <algorithm>
#include <array>
#include <cmath>
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
  // Only a press on the track drags, never one held on a widget.
  if (pressed)
    dragging_ = !guiPressed && edit_.selected() >= 0;
  if (!input.isHeld("touch"))
    dragging_ = false;

  const bool typing = boxHadInput_ || fileNameBox_->isEditing();
  if (dragging_) {
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

void StateLevelEditor::makeDiscTexture() {
  // A white disc with a one-pixel soft rim, tinted when drawn.
  constexpr unsigned size = 256;
  constexpr float radius = size / 2.f;
  sf::Image image;
  image.create(size, size, sf::Color::Transparent);
  for (unsigned y = 0; y < size; ++y) {
    for (unsigned x = 0; x < size; ++x) {
      const float dx = static_cast<float>(x) + 0.5f - radius;
      const float dy = static_cast<float>(y) + 0.5f - radius;
      const float coverage = std::clamp(radius - std::sqrt(dx * dx + dy * dy), 0.f, 1.f);
      image.setPixel(x, y, sf::Color(255, 255, 255, static_cast<sf::Uint8>(coverage * 255.f)));
    }
  }
  if (discTexture_.loadFromImage(image))
    discTexture_.setSmooth(true);
}

void StateLevelEditor::addNumber(unsigned number, const sf::Vector2f& centre) {
  const sf::Font* font = numberText_.getFont();
  const unsigned size = numberText_.getCharacterSize();
  const std::string digits = std::to_string(number);
  // Centred on the glyphs' bounds, as a centred text would be.
  float x = 0.f;
  float top = 0.f;
  float bottom = 0.f;
  for (char c : digits) {
    const sf::Glyph& glyph = font->getGlyph(static_cast<sf::Uint32>(c), size, false);
    top = std::min(top, glyph.bounds.top);
    bottom = std::max(bottom, glyph.bounds.top + glyph.bounds.height);
    x += glyph.advance;
  }
  sf::Vector2f pen(centre.x - x / 2.f, centre.y - (top + bottom) / 2.f);
  for (char c : digits) {
    const sf::Glyph& glyph = font->getGlyph(static_cast<sf::Uint32>(c), size, false);
    const sf::FloatRect& b = glyph.bounds;
    const sf::IntRect& t = glyph.textureRect;
    const float l = pen.x + b.left;
    const float r = l + b.width;
    const float u = pen.y + b.top;
    const float d = u + b.height;
    const float tl = static_cast<float>(t.left);
    const float tr = static_cast<float>(t.left + t.width);
    const float tu = static_cast<float>(t.top);
    const float td = static_cast<float>(t.top + t.height);
    const sf::Color white = sf::Color::White;
    for (const auto& [px, py, tx, ty] :
         {std::array<float, 4>{l, u, tl, tu}, {r, u, tr, tu}, {l, d, tl, td},
          {l, d, tl, td}, {r, u, tr, tu}, {r, d, tr, td}})
      numbers_.append(sf::Vertex({px, py}, white, {tx, ty}));
    pen.x += glyph.advance;
  }
}

void StateLevelEditor::drawTrack(sf::RenderTarget& target) {
  const auto& checkpoints = edit_.track().checkpoints;
  if (discTexture_.getSize().x == 0)
    makeDiscTexture();
  const float r = TrackEdit::cPickRadius;
  const float t = static_cast<float>(discTexture_.getSize().x);
  discs_.setPrimitiveType(sf::Triangles);
  discs_.resize(checkpoints.size() * 6);
  numbers_.setPrimitiveType(sf::Triangles);
  numbers_.clear();
  for (std::size_t k = 0; k < checkpoints.size(); ++k) {
    const sf::Vector2f c(checkpoints[k].position.x, checkpoints[k].position.y);
    sf::Vertex* v = &discs_[k * 6];
    v[0] = sf::Vertex(c + sf::Vector2f(-r, -r), cCheckpointFill, {0.f, 0.f});
    v[1] = sf::Vertex(c + sf::Vector2f(r, -r), cCheckpointFill, {t, 0.f});
    v[2] = sf::Vertex(c + sf::Vector2f(-r, r), cCheckpointFill, {0.f, t});
    v[3] = v[2];
    v[4] = v[1];
    v[5] = sf::Vertex(c + sf::Vector2f(r, r), cCheckpointFill, {t, t});
    // Numbers start at 1 on screen.
    addNumber(static_cast<unsigned>(k + 1), c);
  }
  target.draw(discs_, &discTexture_);

  const int selected = edit_.selected();
  if (selected >= 0 && selected < static_cast<int>(checkpoints.size())) {
    const qutils::Vec2& p = checkpoints[static_cast<std::size_t>(selected)].position;
    selectedShape_.setPosition(p.x, p.y);
    target.draw(selectedShape_);
  }
  if (const sf::Font* font = numberText_.getFont())
    target.draw(numbers_, &font->getTexture(numberText_.getCharacterSize()));
}

void StateLevelEditor::draw(float, float) {
  sf::RenderWindow* window = vexa::graphics().window();
  if (!window)
    return;
  {
    sfmlutils::ViewGuard guard(*window, camera_.view());
    drawTrack(*window);
  }
  window->draw(sceneGraph_);
  window->draw(helpText_);
  window->draw(statusText_);
}

} // namespace pod
