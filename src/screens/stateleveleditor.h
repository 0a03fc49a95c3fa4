#pragma once

#include "screens/trackedit.h"

#include <vexa/core/abstractstate.h>
#include <vexa/gui/scenegraph.h>

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/String.hpp>
#include <sfmlutils/camera.h>

#include <cstdint>
#include <vector>

namespace vexa {
class ShapeShifterTextBoxNode;
}

namespace pod {

class ColoredPushButton;

// The track editor: checkpoints made, moved and erased with the mouse, and
// saved to or loaded from the tracks folder under a typed file name.
class StateLevelEditor : public vexa::AbstractState {
public:
  static constexpr std::uint32_t cStateId = 3;

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

  int checkpointUnderMouse() const;
  qutils::Vec2 mouseWorldPosition() const;
  void saveTrack();
  void loadTrack();

  TrackEdit& edit() { return edit_; }
  const sf::String& fileName() const { return fileName_; }
  const sf::Text& statusText() const { return statusText_; }
  ColoredPushButton* saveButton() const { return saveButton_; }
  ColoredPushButton* loadButton() const { return loadButton_; }
  vexa::ShapeShifterTextBoxNode* fileNameBox() const { return fileNameBox_; }

private:
  std::string tracksFolder() const;
  void showStatus();
  void drawTrack(sf::RenderTarget& target);
  void makeDiscTexture();
  void addNumber(unsigned number, const sf::Vector2f& centre);

  TrackEdit edit_;
  sf::String fileName_;
  sfmlutils::Camera camera_;
  sf::CircleShape checkpointShape_;
  sf::CircleShape selectedShape_;
  sf::Text numberText_;
  // Every disc in one draw of a disc texture, and every number in one draw
  // of the font's glyphs: the frame's cost stays flat with the count.
  sf::Texture discTexture_;
  sf::VertexArray discs_;
  sf::VertexArray numbers_;
  sf::Text helpText_;
  sf::Text statusText_;
  vexa::SceneGraph sceneGraph_;
  ColoredPushButton* saveButton_ = nullptr;
  ColoredPushButton* loadButton_ = nullptr;
  vexa::ShapeShifterTextBoxNode* fileNameBox_ = nullptr;
  // Escape and Delete typed into the box are the box's, not the screen's.
  bool boxHadInput_ = false;
  bool dragging_ = false;
};

} // namespace pod
