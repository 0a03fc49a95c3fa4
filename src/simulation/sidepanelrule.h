#pragma once

namespace pod {

// When the side panel at the right edge of the window is open: it opens when
// the mouse comes within cOpenDistance pixels of the edge, stays open while
// the mouse is within the panel's width of it, and closes beyond.
class SidePanelRule {
public:
  static constexpr float cOpenDistance = 20.f;

  // Returns whether the panel is open after this mouse position.
  bool update(float mouseX, float windowWidth, float panelWidth);

  bool isOpen() const { return open_; }
  void setOpen(bool open) { open_ = open; }

private:
  bool open_ = false;
};

} // namespace pod
