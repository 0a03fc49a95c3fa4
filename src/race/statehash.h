#pragma once

#include "race/race.h"

#include <cstdint>

namespace pod {

// FNV-1a over every pod field and the race fields, in a fixed order, on the
// exact bit patterns of the floats: equal hashes mean identical states.
std::uint64_t stateHash(const Race& race);

} // namespace pod
