#include "screens/rowlayout.h"

#include <algorithm>
#include <cmath>

namespace pod {

namespace {

std::size_t fitting(float width, float itemWidth, float gap) {
  if (width < itemWidth)
    return 1;
  return static_cast<std::size_t>(std::floor((width + gap) / (itemWidth + gap)));
}

// Items per row, and whether pages are needed.
std::size_t perRow(std::size_t count, float itemWidth, const RowBand& band, bool& paged) {
  const float width = band.right - band.left;
  const std::size_t rows = static_cast<std::size_t>(std::max(1, band.maxRows));
  const std::size_t all = fitting(width, itemWidth, band.gap);
  paged = count > all * rows;
  if (!paged)
    return all;
  return fitting(width - 2.f * (band.arrowWidth + band.gap), itemWidth, band.gap);
}

} // namespace

int pageOf(std::size_t item, std::size_t count, float itemWidth, const RowBand& band) {
  bool paged = false;
  const std::size_t row = perRow(count, itemWidth, band, paged);
  if (!paged)
    return 0;
  return static_cast<int>(item / (row * static_cast<std::size_t>(std::max(1, band.maxRows))));
}

RowLayout arrangeRows(std::size_t count, float itemWidth, const RowBand& band, int page) {
  RowLayout layout;
  layout.slots.resize(count);
  if (count == 0)
    return layout;
  bool paged = false;
  const std::size_t row = perRow(count, itemWidth, band, paged);
  const std::size_t pageSize = row * static_cast<std::size_t>(std::max(1, band.maxRows));
  layout.paged = paged;
  layout.pageCount = static_cast<int>((count + pageSize - 1) / pageSize);
  layout.page = std::clamp(page, 0, layout.pageCount - 1);
  const std::size_t first = static_cast<std::size_t>(layout.page) * pageSize;
  const std::size_t last = std::min(count, first + pageSize);
  const float centre = (band.left + band.right) / 2.f;
  const std::size_t onPage = last - first;
  const std::size_t rows = (onPage + row - 1) / row;
  for (std::size_t r = 0; r < rows; ++r) {
    const std::size_t begin = first + r * row;
    const std::size_t end = std::min(last, begin + row);
    const float n = static_cast<float>(end - begin);
    const float step = itemWidth + band.gap;
    const float x0 = centre - (n - 1.f) / 2.f * step;
    for (std::size_t k = begin; k < end; ++k)
      layout.slots[k] = {true, x0 + static_cast<float>(k - begin) * step,
                         band.firstRowY + band.rowStep * static_cast<float>(r)};
  }
  if (paged) {
    const float half = (static_cast<float>(row) * (itemWidth + band.gap) - band.gap) / 2.f;
    layout.previousX = centre - half - band.gap - band.arrowWidth / 2.f;
    layout.nextX = centre + half + band.gap + band.arrowWidth / 2.f;
    layout.arrowY = band.firstRowY +
                    band.rowStep * static_cast<float>(std::max(1, band.maxRows) - 1) / 2.f;
  }
  return layout;
}

} // namespace pod
