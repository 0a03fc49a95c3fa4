#pragma once

#include "race/gamespeed.h"

#include <string>

namespace pod::arena {

// Index of a game speed label ("x0.5" ... "x4"), -1 when there is none.
inline int speedIndexOf(const std::string& label) {
  for (int i = 0; i < gamespeed::kCount; ++i)
    if (label == gamespeed::kLabels[i])
      return i;
  return -1;
}

// The label of the speed whose turn lasts `seconds`; "" for none.
inline std::string speedLabelOf(float seconds) {
  for (int i = 0; i < gamespeed::kCount; ++i)
    if (seconds == gamespeed::kTurnSeconds[i])
      return gamespeed::kLabels[i];
  return "";
}

} // namespace pod::arena
