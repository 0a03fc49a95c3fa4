#include "simulation/sidepanelrule.h"

namespace pod {

bool SidePanelRule::update(float mouseX, float windowWidth, float panelWidth) {
  const float fromEdge = windowWidth - mouseX;
  if (fromEdge <= cOpenDistance)
    open_ = true;
  else if (fromEdge > panelWidth)
    open_ = false;
  return open_;
}

} // namespace pod
