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
  using Close = int (*)(void*);
  const auto open = reinterpret_cast<Open>(dlsym(xlib, "XOpenDisplay"));
  const auto close = reinterpret_cast<Close>(dlsym(xlib, "XCloseDisplay"));
  bool reachable = true;
  if (open && close) {
    void* display = open(x);
    reachable = display != nullptr;
    if (display)
      close(display);
  }
  dlclose(xlib);
  return reachable;
}

} // namespace pod
