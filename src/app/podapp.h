#pragma once

#include <vexa/core/application.h>

namespace pod {

// The game: its components, its 1600 x 900 window and its paced main loop.
class PodApp : public vexa::Application {
public:
  static constexpr unsigned cWidth = 1600;
  static constexpr unsigned cHeight = 900;
  static constexpr unsigned cMinWidth = 1280;
  static constexpr unsigned cMinHeight = 850;

  PodApp() = default;
  ~PodApp() override = default;

  // Throws std::runtime_error when a resource cannot be loaded, before any
  // window is shown. A missing icon is reported and the window stays.
  bool init() override;
  bool run() override;
  // Remembers the window size in the settings, then closes the window.
  void close() override;
  bool createComponents() override;
};

} // namespace pod
