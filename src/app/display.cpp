#include "app/display.h"

#include <cstdlib>

#include <dlfcn.h>

namespace pod {

bool hasReachableDisplay() {
  const char* x = std::getenv("DISPLAY");
  if (!x || !*x)
    return std::getenv("WAYLAND_DISPLAY") != nullptr;
  // Asked through the X library the window library loads anyway, so that the
  // game itself needs no X headers.
  void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
  if (!xlib)
    return true; // let the window library say what is missing
  using Open = void* (*)(const char*);
  const auto open = reinterpret_cast<Open>(dlsym(xlib, "XOpenDisplay"));
  if (!open)
    return true;
  // The probe's connection stays open, library and all: an X server resets
  // when its last client leaves, and a fresh server would then refuse the
  // window's own connection for a moment.
  const bool reachable = open(x) != nullptr;
  return reachable;
}

} // namespace pod
