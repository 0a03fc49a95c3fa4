#pragma once

#include <cstddef>
#include <vector>

namespace pod {

// Equal items laid out in centred rows within a band of the window: as many
// per row as fit, at most maxRows rows; when even those cannot hold every
// item, the rows show one page at a time and arrows at both ends turn pages.
struct RowLayout {
  struct Slot {
    bool shown = false;
    float x = 0.f; // centre
    float y = 0.f;
  };
  std::vector<Slot> slots; // one per item
  int page = 0;
  int pageCount = 1;
  bool paged = false;
  // Where the arrows go when paged (centres).
  float previousX = 0.f;
  float nextX = 0.f;
  float arrowY = 0.f;
};

struct RowBand {
  float left = 0.f;
  float right = 0.f;
  float firstRowY = 0.f; // centre of the first row
  float rowStep = 25.f;
  int maxRows = 2;
  float gap = 5.f;
  float arrowWidth = 20.f;
};

// The page shown is clamped into the pages there are.
RowLayout arrangeRows(std::size_t count, float itemWidth, const RowBand& band, int page);
// The page that holds an item, for a layout of the same count and band.
int pageOf(std::size_t item, std::size_t count, float itemWidth, const RowBand& band);

} // namespace pod
