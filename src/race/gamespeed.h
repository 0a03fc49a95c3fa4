#pragma once

namespace pod {

// The game's six speeds: how much real time one 0.25 s turn of game time
// takes on screen, which is also the time threaded planners get to think.
namespace gamespeed {

inline constexpr int kCount = 6;
inline constexpr int kDefaultIndex = 3;
inline constexpr float kTurnSeconds[kCount] = {0.2f, 1.f / 13.f, 1.f / 19.f, 0.04f, 0.03125f, 0.02f};
inline constexpr const char* kLabels[kCount] = {"x0.5", "x1", "x1.5", "x2", "x3", "x4"};

} // namespace gamespeed

} // namespace pod
