#pragma once

#include <qutils/vec2.h>
#include <vexa/gui/scenegraph.h>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace sf {
class RenderTarget;
}

namespace vexa {
class SceneNode;
}

namespace pod {

class ColoredPushButton;
class GuiFactory;

// The menu's "Replays" button, the list of saved races it opens and the
// status line that says why a file could not be shown. Its own scene graph
// is drawn last, so the open list lies over the menu's panels.
class ReplayList {
public:
  static constexpr std::size_t cMaxShown = 12;

  void build(const GuiFactory& factory);
  // The button's centre; the list opens above it, no lower than listBottom,
  // and no wider than the window; the status line shows above them.
  void setPosition(float x, float y, float windowWidth, float listBottom);
  // The mouse in window pixels and the touch edges of this step. Then runs
  // what the buttons only asked for: listing the folder, opening a file.
  void update(const qutils::Vec2& mouse, bool pressed, bool released);
  void draw(sf::RenderTarget& target);

  // Lists the folder (creating it) and shows the list, or hides it.
  void toggle();
  // Reads a trace and shows it on the race screen; on failure the status
  // line gives the reason and false is returned.
  bool open(const std::string& path);

  ColoredPushButton* button() const { return button_; }
  bool isOpen() const;
  const std::vector<std::string>& files() const { return files_; }
  const std::vector<ColoredPushButton*>& items() const { return items_; }
  const std::string& status() const { return status_; }
  // Empty rectangles when not shown.
  sf::FloatRect statusBounds() const;
  sf::FloatRect listBounds() const;

private:
  void rebuild();
  void setStatus(const std::string& text);
  void placeItems();
  float listFirstY() const;
  float listX() const;

  const GuiFactory* factory_ = nullptr;
  vexa::SceneGraph graph_;
  ColoredPushButton* button_ = nullptr;
  vexa::SceneNode* list_ = nullptr;
  std::vector<ColoredPushButton*> items_;
  std::vector<std::string> files_;
  bool toggleDue_ = false;
  std::string openDue_;
  std::string status_;
  sf::Text statusText_;
  sf::RectangleShape panel_;
  sf::RectangleShape statusBack_;
  float x_ = 0.f;
  float y_ = 0.f;
  float windowWidth_ = 0.f;
  float listBottom_ = 0.f;
};

} // namespace pod
