#include "screens/stateleveleditor.h"

#include "app/coloredpushbutton.h"
#include "app/guifactory.h"
#include "app/podcamera.h"
#include "app/podpathmanager.h"
#include "app/podresourcemanager.h"
#include "app/podstatemanager.h"
#include "race/race.h"
#include "simulation/interpolation.h"

#include <vexa/core/components.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/pathmanager.h>
#include <vexa/core/resourcemanager.h>
#include <vexa/gui/nodes/shapeshiftertextboxnode.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <sfmlutils/origin.h>
#include <sfmlutils/textutils.h>
#include <sfmlutils/viewguard.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace pod {

namespace {

constexpr float cEdge = 10.f;
constexpr float cGap = 10.f;
constexpr float cRowHeight = 20.f;
constexpr float cButtonWidth = 90.f;
constexpr unsigned cHelpSize = 13;
constexpr unsigned cStatusSize = 14;
constexpr unsigned cNumberSize = 14;
// Room for the caret and the box's frame beside the longest name.
constexpr float cBoxSlack = 6.f;
// The closest zoom, in world units per pixel: a checkpoint 400 pixels wide.
constexpr float cClosestZoom = 1.f;
// How far out the wheel goes, as a multiple of the whole field's framing.
constexpr float cFarthestFactor = 4.f;
// Pixels kept free around a framed track.
constexpr float cFrameMargin = 24.f;

// The field of the race, centred on the origin, and what the race camera
// shows at its start in a 1600 x 900 window: the field with a margin.
constexpr float cFieldWidth = 16000.f;
constexpr float cFieldHeight = 9000.f;
constexpr float cRaceViewWidth = 1600.f * PodCamera::cMinZoom * cWorldPerDrawingUnit;
constexpr float cRaceViewHeight = 900.f * PodCamera::cMinZoom * cWorldPerDrawingUnit;

const sf::Color cCheckpointFill(120, 120, 120, 255);
const sf::Color cStatusColour(254, 175, 73, 255);
const sf::Color cHelpColour(200, 200, 200, 255);
const sf::Color cBarColour(28, 30, 36, 255);
const sf::Color cFieldColour(16, 20, 28, 255);
const sf::Color cGridColour(34, 40, 52, 255);
const sf::Color cLoopColour(90, 90, 110, 255);
const sf::Color cPodRingColour(120, 220, 255, 200);
const sf::Color cPlaceholderColour(120, 120, 120, 255);

const char* const cHelp =
    "Right click: add   Left drag: move   Delete: erase selected   Wheel: zoom   "
    "Middle or Space + left drag: pan   F: frame track   Escape: menu\n"
    "Grey discs: checkpoints. Ring at the pointer: a pod. Both to scale: a pod passes a "
    "checkpoint when they touch. Dark area: the race's field.";

std::string utf8(const sf::String& s) {
  const auto bytes = s.toUtf8();
  return std::string(bytes.begin(), bytes.end());
}

// The string on one line of at most width pixels in text's monospaced font:
// a longer one loses its middle, where paths are least telling.
sf::String fitLine(const sf::Text& text, const sf::String& line, float width) {
  const sf::Font* font = text.getFont();
  if (!font)
    return line;
  const float advance = font->getGlyph(' ', text.getCharacterSize(), false).advance;
  const std::size_t fits = advance > 0.f ? static_cast<std::size_t>(width / advance) : 0;
  if (line.getSize() <= fits)
    return line;
  if (fits < 5)
    return sf::String();
  const std::size_t kept = fits - 3;
  const std::size_t head = kept / 2;
  const std::size_t tail = kept - head;
  return line.substring(0, head) + "..." + line.substring(line.getSize() - tail);
}

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
  // World y upwards on screen, as in the race: a track looks the same in both.
  camera_.setFlip(true);

  auto& factory = vexa::guiFactory();
  vexa::SceneNode& root = sceneGraph_.root();
  fileNameBox_ = factory.createTextBox(&root);
  fileNameBox_->setPlaceholder("track name", cPlaceholderColour);
  saveButton_ = static_cast<ColoredPushButton*>(factory.createButton(&root));
  saveButton_->setString("Save");
  GuiFactory::resize(*saveButton_, cButtonWidth, cRowHeight);
  loadButton_ = static_cast<ColoredPushButton*>(factory.createButton(&root));
  loadButton_->setString("Load");
  GuiFactory::resize(*loadButton_, cButtonWidth, cRowHeight);

  checkpointShape_.setRadius(TrackEdit::cPickRadius);
  checkpointShape_.setPointCount(30);
  checkpointShape_.setFillColor(cCheckpointFill);
  sfmlutils::centerOrigin(checkpointShape_);
  selectedShape_ = checkpointShape_;
  selectedShape_.setFillColor(sf::Color::Transparent);
  selectedShape_.setOutlineColor(sf::Color::Green);
  podRing_.setRadius(constants::kPodRadius);
  podRing_.setPointCount(60);
  podRing_.setFillColor(sf::Color::Transparent);
  podRing_.setOutlineColor(cPodRingColour);
  sfmlutils::centerOrigin(podRing_);
  field_.setSize({cFieldWidth, cFieldHeight});
  field_.setOrigin(cFieldWidth / 2.f, cFieldHeight / 2.f);
  field_.setFillColor(cFieldColour);
  bar_.setFillColor(cBarColour);

  const sf::Font& font = vexa::resourceManager().font(FontId::Main);
  numberText_.setFont(font);
  numberText_.setCharacterSize(cNumberSize);
  helpText_.setFont(font);
  helpText_.setCharacterSize(cHelpSize);
  helpText_.setFillColor(cHelpColour);
  statusText_.setFont(font);
  statusText_.setCharacterSize(cStatusSize);
  statusText_.setFillColor(cStatusColour);

  fileNameBox_->bindString(&fileName_);
  fileNameBox_->setCharacterFilter([this](sf::Uint32 c) { return acceptNameCharacter(c); });
  saveButton_->setCallback([this] { saveTrack(); });
  loadButton_->setCallback([this] { loadTrack(); });
  if (edit_.status().empty())
    edit_.setStatus("New track: 0 checkpoints, right click to add the first");
  updateLayout();
  frameField();
  return true;
}

void StateLevelEditor::onResize() {
  if (vexa::components().graphics() && vexa::graphics().window())
    camera_.fitWindowSize();
  updateLayout();
}

void StateLevelEditor::updateLayout() {
  if (!saveButton_ || !vexa::components().graphics() || !vexa::graphics().window())
    return;
  const sf::Vector2u size = vexa::graphics().window()->getSize();
  layout({static_cast<float>(size.x), static_cast<float>(size.y)});
  // The whole field at the farthest zoom is what the wheel gives back.
  view_.setZoomLimits(cClosestZoom, cFarthestFactor * std::max(cRaceViewWidth / area_.width,
                                                                cRaceViewHeight / area_.height));
  view_.setArea(area_);
  syncCamera();
}

void StateLevelEditor::layout(const sf::Vector2f& windowSize) {
  if (!saveButton_)
    return;
  const float width = windowSize.x;
  // Row 1: the name box, wide enough for the longest name, then the buttons.
  // The widgets' origins are their centres.
  const sf::Text& boxText = fileNameBox_->text();
  float advance = 0.f;
  if (const sf::Font* font = boxText.getFont())
    advance = font->getGlyph(' ', boxText.getCharacterSize(), false).advance;
  const float boxWidth = static_cast<float>(TrackEdit::cMaxNameLength) * advance +
                         2.f * fileNameBox_->margin().x + cBoxSlack;
  fileNameBox_->setFixedSize({boxWidth, cRowHeight});
  const float rowY = cEdge + cRowHeight / 2.f;
  fileNameBox_->setPosition(cEdge + boxWidth / 2.f, rowY);
  float x = cEdge + boxWidth + cGap;
  saveButton_->setPosition(x + cButtonWidth / 2.f, rowY);
  x += cButtonWidth + cGap;
  loadButton_->setPosition(x + cButtonWidth / 2.f, rowY);

  // Row 2: the status line, shortened to the window's width.
  float y = cEdge + cRowHeight + 6.f;
  statusText_.setPosition(cEdge, y);
  statusWidth_ = std::max(width - 2.f * cEdge, 0.f);
  shownStatus_.clear();
  showStatus();
  y += statusText_.getFont()->getLineSpacing(cStatusSize) + 2.f;

  // Row 3: the help, wrapped to the window's width.
  helpText_.setPosition(cEdge, y);
  if (!sfmlutils::wrapText(helpText_, cHelp, std::max(width - 2.f * cEdge, 1.f), true))
    helpText_.setString(cHelp);
  const sf::FloatRect help = helpText_.getGlobalBounds();
  const float barHeight = std::round(help.top + help.height + cEdge);

  bar_.setSize({width, barHeight});
  area_ = {0.f, barHeight, width, std::max(windowSize.y - barHeight, 1.f)};
}

std::vector<StateLevelEditor::NamedRect> StateLevelEditor::layoutRects() const {
  std::vector<NamedRect> rects;
  if (!saveButton_)
    return rects;
  rects.emplace_back("name box", fileNameBox_->globalBounds());
  rects.emplace_back("Save", saveButton_->globalBounds());
  rects.emplace_back("Load", loadButton_->globalBounds());
  rects.emplace_back("status line", statusText_.getGlobalBounds());
  rects.emplace_back("help", helpText_.getGlobalBounds());
  rects.emplace_back("track view", sf::FloatRect(area_.left, area_.top, area_.width, area_.height));
  return rects;
}

void StateLevelEditor::syncCamera() {
  const EditorView::Area& a = view_.area();
  camera_.setSize({a.width, a.height});
  const sf::Vector2u window = camera_.window() ? camera_.window()->getSize() : sf::Vector2u(1, 1);
  const float w = static_cast<float>(std::max(window.x, 1u));
  const float h = static_cast<float>(std::max(window.y, 1u));
  camera_.setViewport({a.left / w, a.top / h, a.width / w, a.height / h});
  camera_.setPosition(view_.centre().x, view_.centre().y);
  camera_.setZoom(view_.zoom());
}

void StateLevelEditor::frameField() {
  view_.frame({-cRaceViewWidth / 2.f, -cRaceViewHeight / 2.f},
              {cRaceViewWidth / 2.f, cRaceViewHeight / 2.f}, 0.f);
  syncCamera();
}

void StateLevelEditor::frameTrack() {
  const auto& checkpoints = edit_.track().checkpoints;
  if (checkpoints.empty()) {
    frameField();
    return;
  }
  qutils::Vec2 low = checkpoints.front().position;
  qutils::Vec2 high = low;
  for (const Checkpoint& cp : checkpoints) {
    low = {std::min(low.x, cp.position.x), std::min(low.y, cp.position.y)};
    high = {std::max(high.x, cp.position.x), std::max(high.y, cp.position.y)};
  }
  // Room for a pod touching any checkpoint from outside.
  const float reach = constants::kCheckpointRadius + 2.f * constants::kPodRadius;
  view_.frame(low - qutils::Vec2(reach, reach), high + qutils::Vec2(reach, reach), cFrameMargin);
  syncCamera();
}

// Where Save writes: the player's track folder (the shipped one in a
// checkout). Load also falls back to the shipped tracks.
std::string StateLevelEditor::tracksFolder() const {
  if (auto* paths = dynamic_cast<PodPathManager*>(&vexa::pathManager()))
    return paths->playerTracksPath();
  return vexa::pathManager().resourcesPath() + "tracks/";
}

std::string StateLevelEditor::shippedTracksFolder() const {
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

void StateLevelEditor::showStatus() {
  if (edit_.status() == shownStatus_ && !shownStatus_.empty())
    return;
  shownStatus_ = edit_.status();
  statusText_.setString(fitLine(statusText_, sf::String::fromUtf8(shownStatus_.begin(),
                                                                  shownStatus_.end()),
                                statusWidth_));
}

bool StateLevelEditor::acceptNameCharacter(sf::Uint32 c) {
  const char* why = TrackEdit::refusal(c);
  if (!why && fileNameBox_->string().getSize() >= TrackEdit::cMaxNameLength)
    why = "a track name has at most 64 characters";
  if (why) {
    edit_.setStatus("Refused \"" + utf8(sf::String(c)) + "\": " + why);
    showStatus();
  }
  return !why;
}

void StateLevelEditor::saveTrack() {
  edit_.save(tracksFolder(), utf8(fileName_), shippedTracksFolder());
  showStatus();
}

void StateLevelEditor::loadTrack() {
  if (edit_.load(tracksFolder(), utf8(fileName_), shippedTracksFolder()))
    frameTrack();
  showStatus();
}

void StateLevelEditor::moveView(const qutils::Vec2& mouse, bool pressedOnTrack) {
  vexa::InputManager& input = vexa::inputManager();
  const bool typing = boxHadInput_ || fileNameBox_->isEditing();
  if (input.isPressed("frame") && !typing)
    frameTrack();
  const qutils::Vec2 pivot =
      view_.inArea(mouse) ? mouse
                          : qutils::Vec2(view_.area().left + view_.area().width / 2.f,
                                         view_.area().top + view_.area().height / 2.f);
  if (input.isPressed("zoomin"))
    view_.zoomAbout(pivot, 1.f / cZoomStep);
  if (input.isPressed("zoomout"))
    view_.zoomAbout(pivot, cZoomStep);

  if (pressedOnTrack && input.isHeld("grab") && !typing)
    grabbing_ = true;
  if (!input.isHeld("touch"))
    grabbing_ = false;
  if (grabbing_ || input.isHeld("pan"))
    view_.pan(mouse - lastMouse_);
  lastMouse_ = mouse;
  syncCamera();
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
  // A press or release taken by a widget is not meant for the track, nor
  // one on the bar, where the track is not shown.
  const bool guiPressed = pressed && sceneGraph_.touchDown(mouse);
  const bool guiReleased = released && sceneGraph_.touchUp(mouse);
  const bool onTrack = view_.inArea(mouse);
  const bool wasGrabbing = grabbing_;
  moveView(mouse, pressed && !guiPressed && onTrack);

  const qutils::Vec2 world = mouseWorldPosition();
  if (!grabbing_ && !wasGrabbing) {
    if (pressed && !guiPressed && onTrack)
      edit_.select(world);
    else if (released && !guiReleased && onTrack)
      edit_.select(world);
  }
  // Only a press on the track drags, never one held on a widget. The
  // checkpoint keeps its place under the pointer: a click moves nothing.
  if (pressed) {
    dragging_ = !guiPressed && !grabbing_ && onTrack && edit_.selected() >= 0;
    if (dragging_)
      grabOffset_ =
          edit_.track().checkpoints[static_cast<std::size_t>(edit_.selected())].position - world;
  }
  if (!input.isHeld("touch"))
    dragging_ = false;

  const bool typing = boxHadInput_ || fileNameBox_->isEditing();
  if (dragging_) {
    edit_.drag(world + grabOffset_);
  } else if (input.isPressed("alttouch") && onTrack) {
    edit_.create(world);
  }
  if (input.isPressed("erase") && !typing)
    edit_.eraseSelected();
  boxHadInput_ = fileNameBox_->isEditing();
  showStatus();
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

void StateLevelEditor::drawField(sf::RenderTarget& target) {
  target.draw(field_);
  // A line every 1000 units: the scale at a glance.
  constexpr float step = 1000.f;
  lines_.setPrimitiveType(sf::Lines);
  lines_.clear();
  const float hx = cFieldWidth / 2.f;
  const float hy = cFieldHeight / 2.f;
  for (float x = -hx + step; x < hx; x += step) {
    lines_.append(sf::Vertex({x, -hy}, cGridColour));
    lines_.append(sf::Vertex({x, hy}, cGridColour));
  }
  for (float y = -hy + step; y < hy; y += step) {
    lines_.append(sf::Vertex({-hx, y}, cGridColour));
    lines_.append(sf::Vertex({hx, y}, cGridColour));
  }
  // The loop the pods race, back to the start.
  const auto& checkpoints = edit_.track().checkpoints;
  for (std::size_t k = 0; checkpoints.size() > 1 && k < checkpoints.size(); ++k) {
    const qutils::Vec2& a = checkpoints[k].position;
    const qutils::Vec2& b = checkpoints[(k + 1) % checkpoints.size()].position;
    lines_.append(sf::Vertex({a.x, a.y}, cLoopColour));
    lines_.append(sf::Vertex({b.x, b.y}, cLoopColour));
  }
  target.draw(lines_);
}

void StateLevelEditor::drawTrack(sf::RenderTarget& target) {
  const auto& checkpoints = edit_.track().checkpoints;
  if (discTexture_.getSize().x == 0)
    makeDiscTexture();
  const float r = TrackEdit::cPickRadius;
  const float t = static_cast<float>(discTexture_.getSize().x);
  discs_.setPrimitiveType(sf::Triangles);
  discs_.resize(checkpoints.size() * 6);
  for (std::size_t k = 0; k < checkpoints.size(); ++k) {
    const sf::Vector2f c(checkpoints[k].position.x, checkpoints[k].position.y);
    sf::Vertex* v = &discs_[k * 6];
    v[0] = sf::Vertex(c + sf::Vector2f(-r, -r), cCheckpointFill, {0.f, 0.f});
    v[1] = sf::Vertex(c + sf::Vector2f(r, -r), cCheckpointFill, {t, 0.f});
    v[2] = sf::Vertex(c + sf::Vector2f(-r, r), cCheckpointFill, {0.f, t});
    v[3] = v[2];
    v[4] = v[1];
    v[5] = sf::Vertex(c + sf::Vector2f(r, r), cCheckpointFill, {t, t});
  }
  target.draw(discs_, &discTexture_);

  // Outlines keep their width in pixels at every zoom.
  const float pixel = view_.zoom();
  const int selected = edit_.selected();
  if (selected >= 0 && selected < static_cast<int>(checkpoints.size())) {
    const qutils::Vec2& p = checkpoints[static_cast<std::size_t>(selected)].position;
    selectedShape_.setOutlineThickness(2.f * pixel);
    selectedShape_.setPosition(p.x, p.y);
    target.draw(selectedShape_);
  }
  sf::RenderWindow* window = vexa::graphics().window();
  if (window && !grabbing_ && !vexa::inputManager().isHeld("pan")) {
    const qutils::Vec2 mouse = vexa::inputManager().mousePosition();
    if (view_.inArea(mouse)) {
      const qutils::Vec2 world = mouseWorldPosition();
      podRing_.setOutlineThickness(2.f * pixel);
      podRing_.setPosition(world.x, world.y);
      target.draw(podRing_);
    }
  }
}

void StateLevelEditor::drawNumbers(sf::RenderTarget& target) {
  // In window pixels: readable at every zoom. Numbers start at 1 on screen.
  numbers_.setPrimitiveType(sf::Triangles);
  numbers_.clear();
  const auto& checkpoints = edit_.track().checkpoints;
  for (std::size_t k = 0; k < checkpoints.size(); ++k) {
    const qutils::Vec2 p = view_.pixelAt(checkpoints[k].position);
    if (view_.inArea(p))
      addNumber(static_cast<unsigned>(k + 1), {std::round(p.x), std::round(p.y)});
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
    drawField(*window);
    drawTrack(*window);
  }
  drawNumbers(*window);
  window->draw(bar_);
  window->draw(sceneGraph_);
  window->draw(helpText_);
  window->draw(statusText_);
}

} // namespace pod
