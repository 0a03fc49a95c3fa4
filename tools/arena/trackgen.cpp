#include "trackgen.h"

#include "race/race.h"

#include <qutils/random.h>

#include <cmath>

namespace pod::arena {

namespace {

constexpr float kHalfWidth = trackrules::kFieldWidth / 2.f - trackrules::kMargin;
constexpr float kHalfHeight = trackrules::kFieldHeight / 2.f - trackrules::kMargin;

float gap(const qutils::Vec2& a, const qutils::Vec2& b) { return (a - b).length(); }

bool farFromAll(const std::vector<Checkpoint>& checkpoints, const qutils::Vec2& p) {
  for (const auto& c : checkpoints)
    if (gap(c.position, p) < trackrules::kMinSpacing)
      return false;
  return true;
}

} // namespace

std::string checkTrackRules(const Track& track) {
  const int n = static_cast<int>(track.checkpoints.size());
  if (n < trackrules::kMinCheckpoints || n > trackrules::kMaxCheckpoints)
    return "has " + std::to_string(n) + " checkpoints, not 3 to 8";
  for (int i = 0; i < n; ++i) {
    const auto& p = track.checkpoints[i].position;
    if (std::fabs(p.x) > kHalfWidth || std::fabs(p.y) > kHalfHeight)
      return "checkpoint " + std::to_string(i) + " lies outside the field";
    for (int j = i + 1; j < n; ++j)
      if (gap(p, track.checkpoints[j].position) < trackrules::kMinSpacing)
        return "checkpoints " + std::to_string(i) + " and " + std::to_string(j) +
               " are closer than 2500";
  }
  return {};
}

std::vector<Track> generateTracks(std::uint64_t seed, int count) {
  std::vector<Track> tracks;
  for (int t = 0; t < count; ++t) {
    // One stream per track, so track n does not depend on how many come after.
    qutils::Random random(qutils::deriveSeed(seed, static_cast<std::uint64_t>(t)));
    Track track;
    track.name = "Random " + std::to_string(seed) + "-" + std::to_string(t + 1);
    const int n = random.uniformInt(trackrules::kMinCheckpoints, trackrules::kMaxCheckpoints);
    // Eight centres 2500 apart fit easily in the field, but a bad early draw
    // can crowd the last one out: start over then.
    while (static_cast<int>(track.checkpoints.size()) < n) {
      track.checkpoints.clear();
      for (int attempt = 0; attempt < 200 && static_cast<int>(track.checkpoints.size()) < n;
           ++attempt) {
        // Whole units: the track saves and loads back unchanged.
        const qutils::Vec2 p(std::round(random.uniform(-kHalfWidth, kHalfWidth)),
                             std::round(random.uniform(-kHalfHeight, kHalfHeight)));
        if (farFromAll(track.checkpoints, p)) {
          Checkpoint c;
          c.id = static_cast<std::uint32_t>(track.checkpoints.size()) +
                 constants::kCheckpointIdOffset;
          c.position = p;
          track.checkpoints.push_back(c);
        }
      }
    }
    tracks.push_back(std::move(track));
  }
  return tracks;
}

} // namespace pod::arena
