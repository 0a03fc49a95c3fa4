#include "screens/editorview.h"

#include <algorithm>
#include <cmath>

namespace pod {

namespace {

// Far enough for any track, near enough for floats to stay exact enough.
constexpr float cFarthestCentre = 1.0e6f;

} // namespace

void EditorView::setArea(const Area& area) {
  const qutils::Vec2 low = visibleLow();
  const qutils::Vec2 high = visibleHigh();
  area_ = area;
  area_.width = std::max(area_.width, 1.f);
  area_.height = std::max(area_.height, 1.f);
  frame(low, high, 0.f);
}

void EditorView::setZoomLimits(float closest, float farthest) {
  closest_ = closest;
  farthest_ = std::max(closest, farthest);
  zoom_ = clampZoom(zoom_);
}

float EditorView::clampZoom(float zoom) const { return std::clamp(zoom, closest_, farthest_); }

void EditorView::frame(const qutils::Vec2& low, const qutils::Vec2& high, float margin) {
  centre_ = (low + high) / 2.f;
  const float w = std::max(area_.width - 2.f * margin, 1.f);
  const float h = std::max(area_.height - 2.f * margin, 1.f);
  zoom_ = clampZoom(std::max((high.x - low.x) / w, (high.y - low.y) / h));
}

void EditorView::zoomAbout(const qutils::Vec2& pixel, float factor) {
  const qutils::Vec2 held = worldAt(pixel);
  zoom_ = clampZoom(zoom_ * factor);
  // The centre moves so that the same world point maps back to pixel.
  centre_ = centre_ + (held - worldAt(pixel));
}

void EditorView::pan(const qutils::Vec2& delta) {
  centre_.x = std::clamp(centre_.x - delta.x * zoom_, -cFarthestCentre, cFarthestCentre);
  centre_.y = std::clamp(centre_.y + delta.y * zoom_, -cFarthestCentre, cFarthestCentre);
}

qutils::Vec2 EditorView::worldAt(const qutils::Vec2& pixel) const {
  const float dx = pixel.x - (area_.left + area_.width / 2.f);
  const float dy = pixel.y - (area_.top + area_.height / 2.f);
  return {centre_.x + dx * zoom_, centre_.y - dy * zoom_};
}

qutils::Vec2 EditorView::pixelAt(const qutils::Vec2& world) const {
  return {area_.left + area_.width / 2.f + (world.x - centre_.x) / zoom_,
          area_.top + area_.height / 2.f - (world.y - centre_.y) / zoom_};
}

bool EditorView::inArea(const qutils::Vec2& pixel) const {
  return pixel.x >= area_.left && pixel.x < area_.left + area_.width && pixel.y >= area_.top &&
         pixel.y < area_.top + area_.height;
}

qutils::Vec2 EditorView::visibleLow() const {
  return {centre_.x - area_.width * zoom_ / 2.f, centre_.y - area_.height * zoom_ / 2.f};
}

qutils::Vec2 EditorView::visibleHigh() const {
  return {centre_.x + area_.width * zoom_ / 2.f, centre_.y + area_.height * zoom_ / 2.f};
}

} // namespace pod
