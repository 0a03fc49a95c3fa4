#pragma once

// Checks a screen's layout from the rectangles of what it shows: no two
// overlap and every one lies inside the window. Screens list their widgets
// as named boxes; scene graphs can be walked for the visible buttons.

#include <vexa/gui/drawables/shapeshifter.h>
#include <vexa/gui/nodes/scenenode.h>

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Vector2.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace layoutcheck {

struct Box {
  std::string name;
  sf::FloatRect rect;
};

// The window sizes every screen is laid out at.
inline const std::vector<sf::Vector2u>& windowSizes() {
  static const std::vector<sf::Vector2u> sizes = {
      {1280, 850}, {1600, 900}, {1920, 1080}, {2560, 1440}};
  return sizes;
}

inline std::string describe(const Box& box) {
  std::ostringstream out;
  out << '"' << box.name << "\" (" << box.rect.left << ", " << box.rect.top << ", "
      << box.rect.width << " x " << box.rect.height << ")";
  return out.str();
}

// Rectangles that only share an edge do not overlap. Empty boxes are skipped.
inline std::vector<std::string> faults(const std::vector<Box>& boxes,
                                       const sf::Vector2u& window) {
  std::vector<std::string> found;
  const float w = static_cast<float>(window.x);
  const float h = static_cast<float>(window.y);
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const sf::FloatRect& a = boxes[i].rect;
    if (a.width <= 0.f || a.height <= 0.f)
      continue;
    if (a.left < 0.f || a.top < 0.f || a.left + a.width > w || a.top + a.height > h)
      found.push_back(describe(boxes[i]) + " leaves the window");
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      const sf::FloatRect& b = boxes[j].rect;
      if (b.width <= 0.f || b.height <= 0.f)
        continue;
      if (a.intersects(b))
        found.push_back(describe(boxes[i]) + " overlaps " + describe(boxes[j]));
    }
  }
  return found;
}

// One test failure per fault, naming the screen and the window size.
inline void expectTidy(const std::string& screen, const std::vector<Box>& boxes,
                       const sf::Vector2u& window) {
  for (const std::string& fault : faults(boxes, window))
    ADD_FAILURE() << screen << " at " << window.x << " x " << window.y << ": " << fault;
}

inline sf::FloatRect textBounds(const sf::Text& text) { return text.getGlobalBounds(); }

// The visible, laid-out widgets of a scene graph, named by their labels.
inline void addVisibleWidgets(const vexa::SceneNode& node, std::vector<Box>& boxes) {
  if (!node.isVisible())
    return;
  const sf::FloatRect bounds = node.globalBounds();
  if (bounds.width > 0.f && bounds.height > 0.f) {
    const auto* shifter = dynamic_cast<const vexa::ShapeShifter*>(&node);
    boxes.push_back({shifter && shifter->hasText() ? shifter->text().getString().toAnsiString() : "node", bounds});
  }
  for (const vexa::SceneNode* child : node.children())
    addVisibleWidgets(*child, boxes);
}

} // namespace layoutcheck
