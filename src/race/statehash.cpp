#include "race/statehash.h"

#include <cstring>

namespace pod {

namespace {

class Fnv1a {
public:
  void add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
      hash_ ^= bytes[i];
      hash_ *= 0x100000001b3ull;
    }
  }
  void add(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    add(&bits, sizeof bits);
  }
  void add(std::int32_t v) { add(&v, sizeof v); }
  void add(std::uint32_t v) { add(&v, sizeof v); }
  void add(bool v) {
    const unsigned char b = v ? 1 : 0;
    add(&b, 1);
  }
  std::uint64_t value() const { return hash_; }

private:
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

} // namespace

std::uint64_t stateHash(const Race& race) {
  Fnv1a h;
  h.add(static_cast<std::uint32_t>(race.pods.size()));
  for (const auto& pod : race.pods) {
    h.add(pod.id);
    h.add(pod.position.x);
    h.add(pod.position.y);
    h.add(pod.angle);
    h.add(pod.checkpointsCleared);
    h.add(pod.nextCheckpoint);
    h.add(pod.shieldCooldown);
    h.add(pod.team);
    h.add(pod.timeout);
    h.add(pod.velocity.x);
    h.add(pod.velocity.y);
    h.add(pod.engine);
  }
  h.add(race.nbPodsPerTeam);
  h.add(race.timeAttack);
  h.add(race.winner);
  h.add(race.byTimeout);
  return h.value();
}

} // namespace pod
