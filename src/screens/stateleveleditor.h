#pragma once

#include "screens/editorview.h"
#include "screens/trackedit.h"

#include <vexa/core/abstractstate.h>
#include <vexa/gui/scenegraph.h>

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/String.hpp>
#include <sfmlutils/camera.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vexa {
class ShapeShifterTextBoxNode;
}

namespace pod {

class ColoredPushButton;

// The track editor: checkpoints made, moved and erased with the mouse, and
// saved to or loaded from the tracks folder under a typed file name. The
// world is shown as the race shows it, y upwards and to scale, under a bar
// that holds the name box, the buttons, the status line and the help.
class StateLevelEditor : public vexa::AbstractState {
public:
  static constexpr std::uint32_t cStateId = 3;
  // One wheel notch.
  static constexpr float cZoomStep = 1.25f;

  using NamedRect = std::pair<std::string, sf::FloatRect>;

  StateLevelEditor();
  ~StateLevelEditor() override;

  bool cleanup() override;
  void draw(float frameTime, float interpolation) override;
  bool init() override;
  void resetTime() override;
  void reserved() override;
  void onResize() override;
  void update(float dt) override;
  void updateLayout() override;
  // Places the bar's widgets for a window of that size, and the track view
  // under them, without touching what the view shows.
  void layout(const sf::Vector2f& windowSize);
  // Every widget's rectangle and the track view's, in window pixels.
  std::vector<NamedRect> layoutRects() const;

  int checkpointUnderMouse() const;
  qutils::Vec2 mouseWorldPosition() const;
  void saveTrack();
  void loadTrack();
  // Shows the whole track, or the race's field when there is none.
  void frameTrack();
  void frameField();

  TrackEdit& edit() { return edit_; }
  const sf::String& fileName() const { return fileName_; }
  const EditorView& view() const { return view_; }
  const sfmlutils::Camera& camera() const { return camera_; }
  const sf::Text& statusText() const { return statusText_; }
  ColoredPushButton* saveButton() const { return saveButton_; }
  ColoredPushButton* loadButton() const { return loadButton_; }
  vexa::ShapeShifterTextBoxNode* fileNameBox() const { return fileNameBox_; }

private:
  std::string tracksFolder() const;
  std::string shippedTracksFolder() const;
  void showStatus();
  bool acceptNameCharacter(sf::Uint32 c);
  void moveView(const qutils::Vec2& mouse, bool pressedOnTrack);
  void syncCamera();
  void drawField(sf::RenderTarget& target);
  void drawTrack(sf::RenderTarget& target);
  void drawNumbers(sf::RenderTarget& target);
  void makeDiscTexture();
  void addNumber(unsigned number, const sf::Vector2f& centre);

  TrackEdit edit_;
  sf::String fileName_;
  EditorView view_;
  EditorView::Area area_;
  sfmlutils::Camera camera_;
  sf::CircleShape checkpointShape_;
  sf::CircleShape selectedShape_;
  sf::Text numberText_;
  // Every disc in one draw of a disc texture, and every number in one draw
  // of the font's glyphs: the frame's cost stays flat with the count.
  sf::Texture discTexture_;
  sf::VertexArray discs_;
  sf::VertexArray numbers_;
  sf::VertexArray lines_;
  sf::RectangleShape field_;
  sf::CircleShape podRing_;
  sf::RectangleShape bar_;
  sf::Text helpText_;
  sf::Text statusText_;
  std::string shownStatus_;
  float statusWidth_ = 0.f;
  vexa::SceneGraph sceneGraph_;
  ColoredPushButton* saveButton_ = nullptr;
  ColoredPushButton* loadButton_ = nullptr;
  vexa::ShapeShifterTextBoxNode* fileNameBox_ = nullptr;
  // Escape and Delete typed into the box are the box's, not the screen's.
  bool boxHadInput_ = false;
  bool dragging_ = false;
  qutils::Vec2 grabOffset_;
  // The view follows the pointer while the middle button, or Space and the
  // left button, are held.
  bool grabbing_ = false;
  qutils::Vec2 lastMouse_;
};

} // namespace pod
