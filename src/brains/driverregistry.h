#pragma once

#include "brains/abstractbrain.h"
#include "race/gamespeed.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Team drivers by the names the menu shows, for the menu and the arena.

namespace pod {

struct DriverOptions {
  // Base seed of the planners' random streams (each worker derives its own).
  std::uint64_t seed = 0;
  // 0: plan on worker threads in real time, as in the game. K > 0: make
  // exactly K evolution steps per turn on the caller's thread, no worker.
  int evalsPerTurn = 0;
  // Synchronous mode only: the real seconds a turn stands for (the game
  // speed's turn time). Each of the K steps advances the planners' clock by
  // turnSeconds / K, so whatever they tie to elapsed time sees the game's clock.
  float turnSeconds = gamespeed::kTurnSeconds[gamespeed::kDefaultIndex];
};

// The computer drivers offered in a mode, in menu order.
std::vector<std::string> computerDriverNames(bool timeAttack);

// nullptr for a name that is not a computer driver of that mode.
std::unique_ptr<AbstractBrain> createDriver(const std::string& name, bool timeAttack,
                                            const DriverOptions& options = {});

} // namespace pod
