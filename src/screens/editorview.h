#pragma once

#include <qutils/vec2.h>

namespace pod {

// Where the track editor looks: the world point at the centre of its area,
// the zoom in world units per pixel, and the rectangle of window pixels the
// world is drawn in. World y grows upwards on screen, as in the race.
class EditorView {
public:
  struct Area {
    float left = 0.f;
    float top = 0.f;
    float width = 1.f;
    float height = 1.f;
  };

  // Changes the area and keeps what was visible on screen, as large as the
  // new area allows.
  void setArea(const Area& area);
  // Zooms never go past these, world units per pixel.
  void setZoomLimits(float closest, float farthest);

  // Shows the world rectangle [low, high] whole and centred, with margin
  // pixels free around it.
  void frame(const qutils::Vec2& low, const qutils::Vec2& high, float margin);
  // Multiplies the zoom by factor; the world point under pixel stays there.
  void zoomAbout(const qutils::Vec2& pixel, float factor);
  // Moves the world along with a pointer that moved by delta pixels.
  void pan(const qutils::Vec2& delta);

  qutils::Vec2 worldAt(const qutils::Vec2& pixel) const;
  qutils::Vec2 pixelAt(const qutils::Vec2& world) const;
  bool inArea(const qutils::Vec2& pixel) const;
  // The corners of the visible world: lowest x and y, highest x and y.
  qutils::Vec2 visibleLow() const;
  qutils::Vec2 visibleHigh() const;

  const qutils::Vec2& centre() const { return centre_; }
  float zoom() const { return zoom_; }
  const Area& area() const { return area_; }

private:
  float clampZoom(float zoom) const;

  Area area_;
  qutils::Vec2 centre_;
  float zoom_ = 1.f;
  float closest_ = 0.5f;
  float farthest_ = 1000.f;
};

} // namespace pod
