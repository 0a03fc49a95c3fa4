#pragma once

#include "race/track.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pod::arena {

// The rules every shipped and generated track keeps.
namespace trackrules {
constexpr int kMinCheckpoints = 3;
constexpr int kMaxCheckpoints = 8;
constexpr float kMinSpacing = 2500.f;    // between any two checkpoint centres
constexpr float kFieldWidth = 16000.f;   // centred on the origin
constexpr float kFieldHeight = 9000.f;
// Centres stay this far inside the field, so a pod on a checkpoint is whole
// inside it.
constexpr float kMargin = 700.f;
} // namespace trackrules

// Empty when the track keeps the rules above, else the first broken rule.
std::string checkTrackRules(const Track& track);

// `count` tracks drawn from the seed: the same seed gives the same tracks.
// Checkpoint ids are 10 + index, as if loaded from a file; names are
// "Random <seed>-<n>".
std::vector<Track> generateTracks(std::uint64_t seed, int count);

} // namespace pod::arena
