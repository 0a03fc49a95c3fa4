// Track files: whatever the reader accepts must give a sound starting grid
// and race a few turns without tripping an assertion.
#include "brains/steering.h"
#include "race/physics.h"
#include "race/track.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void requireSound(const pod::Race& race) {
  for (const pod::PodState& p : race.pods)
    if (!std::isfinite(p.position.x) || !std::isfinite(p.position.y) || !std::isfinite(p.angle) ||
        !std::isfinite(p.velocity.x) || !std::isfinite(p.velocity.y))
      std::abort();
}

void race(const pod::Track& track, bool timeAttack) {
  pod::Physics physics;
  physics.init(timeAttack, timeAttack ? 1 : 2, timeAttack ? 4 : 2, &track);
  requireSound(physics.getCurrentState());
  std::vector<pod::PhysicsEvent> events;
  for (int turn = 0; turn < 12; ++turn) {
    const auto& pods = physics.getCurrentState().pods;
    std::vector<pod::Influence> influences;
    for (std::size_t i = 0; i < pods.size(); ++i) {
      if (timeAttack)
        influences.push_back(pod::soloRunnerRule(track, pods[i]));
      else if (i % 2 == 0)
        influences.push_back(pod::runnerRule(track, pods[i], pods[i + 1], pods[(i + 2) % 4],
                                             pods[(i + 3) % 4]));
      else
        influences.push_back(pod::hunterRule(track, pods[i - 1], pods[i], pods[(i + 1) % 4],
                                             pods[(i + 2) % 4]));
    }
    physics.step(influences, 0.25f, events);
    requireSound(physics.getCurrentState());
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pod::Track track;
  std::string error;
  if (!track.read(std::string(reinterpret_cast<const char*>(data), size), &error))
    return 0;
  if (!pod::trackProblem(track).empty())
    std::abort();
  race(track, false);
  race(track, true);
  return 0;
}
