#pragma once

namespace pod {

// Whether a window can be opened: a Wayland session, or an X display that
// answers. The window library aborts on an unreachable one.
bool hasReachableDisplay();

} // namespace pod
