#include "race/collisions.h"

#include <qutils/assert.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pod {

using qutils::Vec2;

namespace {

constexpr float kContactDistance = 2.f * constants::kPodRadius; // 800
constexpr float kContactDistanceSq = kContactDistance * kContactDistance;
constexpr int kMaxCandidateImprovements = 20;
constexpr int kMaxGentlePasses = 11;
constexpr int kMaxBrutePasses = 11;
constexpr float kNoContact = 2.f;
// Never a contact time: nothing is bounded in advance.
constexpr float kNotBounded = -1.f;
// Overlapping checkpoints would otherwise be passed forever at one instant.
constexpr int kMaxSoloPassesPerStep = 20;

void advance(PodState& pod, float t) {
  pod.position += pod.velocity * t;
  pod.timeout += t;
}

void advanceAll(std::vector<PodState>& pods, float t) {
  for (auto& pod : pods)
    advance(pod, t);
}

// ---- The contact search: the innermost loop of every step and of the
// planners' look-ahead, kept in this one place. Most tests there are of pairs
// that cannot touch before the best contact found so far, or that are moving
// apart; two cheap bounds reject those before the exact test. Both keep a
// margin far above the rounding of the exact test (errors of a few units at
// most, even 1e5 units from the origin), so they only reject what the exact
// test would reject or report no earlier than the best so far: the search
// picks the same contacts and counts the same improvements, bit for bit.

// Whether circles at relative position p, relative velocity v and radii
// summing to r may touch before `within`; false only when the exact test
// surely finds no contact earlier. Written so that NaN and infinities never
// reject: the exact test decides them, as before.
inline bool mayTouchBefore(const Vec2& p, const Vec2& v, float r, float within) {
  const float ax = std::fabs(p.x);
  const float ay = std::fabs(p.y);
  const float speedBound = std::fabs(v.x) + std::fabs(v.y); // >= |v|
  const float gap = std::max(ax, ay);                         // <= |p|
  // The gap cannot close in time.
  if (gap - r - (64.f + (ax + ay) * 1e-3f) > within * speedBound)
    return false;
  // Not touching, and moving apart: the angle between p and v is clearly
  // below 90 degrees, so the contact point lies behind.
  const float pp = p.squaredLength();
  const bool apart =
      r * r <= pp && pp < 1e10f && qutils::dot(p, v) > 1e-4f * (ax + ay) * speedBound;
  return !apart;
}

struct Contact {
  float time = kNoContact;
  int a = -1; // first pod, or the passing pod
  int b = -1; // second pod, or -1 for a checkpoint pass
};

// The exact test of pods i < j, when the bound leaves it: `best` takes any
// sooner contact, except the pair that has just bounced touching again at once.
// The bound is skipped while `best` still is `bounded`, the value the caller
// has already bounded the pair against.
inline void testPair(const PodState* pods, int i, int j, int lastA, int lastB, Contact& best,
                     int& improvements, float bounded) {
  constexpr float kPodReach = 2.f * constants::kPodRadius;
  const PodState& a = pods[i];
  const PodState& b = pods[j];
  if (best.time != bounded &&
      !mayTouchBefore(a.position - b.position, a.velocity - b.velocity, kPodReach, best.time))
    return;
  float tc;
  if (qutils::contactTime(a.position, a.velocity, constants::kPodRadius, b.position, b.velocity,
                          constants::kPodRadius, tc) &&
      tc < best.time && !(tc == 0.f && i == lastA && j == lastB)) {
    best = {tc, i, j};
    ++improvements;
  }
}

// The exact test of pod i against its next checkpoint, when the bound leaves
// it; `bounded` as for testPair.
inline void testCheckpoint(const PodState* pods, int i, const Track& track, Contact& best,
                           int& improvements, float bounded) {
  constexpr float kCheckpointReach = constants::kPodRadius + constants::kCheckpointRadius;
  const PodState& pod = pods[i];
  const Vec2& cp = track.checkpoints[static_cast<std::size_t>(pod.nextCheckpoint)].position;
  if (best.time != bounded &&
      !mayTouchBefore(pod.position - cp, pod.velocity, kCheckpointReach, best.time))
    return;
  float tc;
  if (qutils::contactTime(pod.position, pod.velocity, constants::kPodRadius, cp, Vec2(),
                          constants::kCheckpointRadius, tc) &&
      tc < best.time) {
    best = {tc, i, -1};
    ++improvements;
  }
}

// The earliest pod pair contact (pairs in index order), then the earliest
// checkpoint pass if sooner.
Contact earliestContact(const PodState* pods, int n, const Track& track, int lastA, int lastB,
                        int& improvements) {
  Contact best;
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j)
      testPair(pods, i, j, lastA, lastB, best, improvements, kNotBounded);
  for (int i = 0; i < n; ++i)
    testCheckpoint(pods, i, track, best, improvements, kNotBounded);
  return best;
}

// Any pair closer than the contact distance: the first test of every
// depenetration pass, made here without a call when all is clear.
template <int kPods>
bool anyOverlap(const PodState* pods, int count) {
  const int n = kPods > 0 ? kPods : count;
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j)
      if (qutils::squaredDistance(pods[i].position, pods[j].position) < kContactDistanceSq)
        return true;
  return false;
}

// ---- Four pods, the race: the bounds of all ten candidates of a search at
// once, one candidate per SSE lane (each lane computed exactly as
// mayTouchBefore does, same operations in the same order). They are taken
// against kNoContact, the value `best` starts from: weaker than the shrinking
// `best` of the exact tests, still sound. The survivors, usually none or one,
// take the scalar bound again once `best` has shrunk, and the exact test, in
// the original order: the same exact tests run, the same contacts and
// improvements come out.
#if defined(__SSE2__)

// Bit k set where lane k may touch before `within`; NaN lanes always may.
inline unsigned mayTouchBeforeLanes(__m128 px, __m128 py, __m128 vx, __m128 vy, __m128 r,
                                    float within) {
  const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
  const __m128 ax = _mm_and_ps(px, absMask);
  const __m128 ay = _mm_and_ps(py, absMask);
  const __m128 speedBound = _mm_add_ps(_mm_and_ps(vx, absMask), _mm_and_ps(vy, absMask));
  const __m128 gap = _mm_max_ps(ay, ax); // std::max(ax, ay), NaN included
  const __m128 axy = _mm_add_ps(ax, ay);
  const __m128 margin = _mm_add_ps(_mm_set1_ps(64.f), _mm_mul_ps(axy, _mm_set1_ps(1e-3f)));
  const __m128 far = _mm_cmpgt_ps(_mm_sub_ps(_mm_sub_ps(gap, r), margin),
                                  _mm_mul_ps(_mm_set1_ps(within), speedBound));
  const __m128 pp = _mm_add_ps(_mm_mul_ps(px, px), _mm_mul_ps(py, py));
  const __m128 dot = _mm_add_ps(_mm_mul_ps(px, vx), _mm_mul_ps(py, vy));
  const __m128 apart = _mm_and_ps(
      _mm_and_ps(_mm_cmple_ps(_mm_mul_ps(r, r), pp), _mm_cmplt_ps(pp, _mm_set1_ps(1e10f))),
      _mm_cmpgt_ps(dot, _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(1e-4f), axy), speedBound)));
  return ~static_cast<unsigned>(_mm_movemask_ps(_mm_or_ps(far, apart))) & 0xfu;
}

// x and y of two Vec2s.
inline __m128 loadTwo(const Vec2& first, const Vec2& second) {
  const __m128 low = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(&first)));
  return _mm_loadh_pi(low, reinterpret_cast<const __m64*>(&second));
}

// Four Vec2s, x in one register and y in the other.
struct FourVec2 {
  __m128 x;
  __m128 y;
};

inline FourVec2 loadFour(const Vec2& v0, const Vec2& v1, const Vec2& v2, const Vec2& v3) {
  const __m128 v01 = loadTwo(v0, v1);
  const __m128 v23 = loadTwo(v2, v3);
  return {_mm_shuffle_ps(v01, v23, _MM_SHUFFLE(2, 0, 2, 0)),
          _mm_shuffle_ps(v01, v23, _MM_SHUFFLE(3, 1, 3, 1))};
}

// Lanes of the pairs 0-1, 0-2, 0-3, 1-2, then 1-3, 2-3 (twice, the copies
// unused): first pod's value minus second's.
inline __m128 firstFourPairs(__m128 v) {
  return _mm_sub_ps(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 0, 0, 0)),
                    _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 3, 2, 1)));
}

inline __m128 lastTwoPairs(__m128 v) {
  return _mm_sub_ps(_mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 1, 2, 1)),
                    _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3)));
}

Contact earliestContactOfFour(const PodState* pods, const Track& track, int lastA, int lastB,
                              int& improvements) {
  constexpr float kPodReach = 2.f * constants::kPodRadius;
  constexpr float kCheckpointReach = constants::kPodRadius + constants::kCheckpointRadius;
  const FourVec2 p = loadFour(pods[0].position, pods[1].position, pods[2].position,
                              pods[3].position);
  const FourVec2 v = loadFour(pods[0].velocity, pods[1].velocity, pods[2].velocity,
                              pods[3].velocity);
  const __m128 podReach = _mm_set1_ps(kPodReach);
  const unsigned pairs =
      mayTouchBeforeLanes(firstFourPairs(p.x), firstFourPairs(p.y), firstFourPairs(v.x),
                          firstFourPairs(v.y), podReach, kNoContact) |
      (mayTouchBeforeLanes(lastTwoPairs(p.x), lastTwoPairs(p.y), lastTwoPairs(v.x),
                           lastTwoPairs(v.y), podReach, kNoContact) &
       3u) << 4;
  const auto checkpoint = [&](int i) -> const Vec2& {
    return track.checkpoints[static_cast<std::size_t>(pods[i].nextCheckpoint)].position;
  };
  const FourVec2 c = loadFour(checkpoint(0), checkpoint(1), checkpoint(2), checkpoint(3));
  const unsigned passes =
      mayTouchBeforeLanes(_mm_sub_ps(p.x, c.x), _mm_sub_ps(p.y, c.y), v.x, v.y,
                          _mm_set1_ps(kCheckpointReach), kNoContact);
  // The survivors in earliestContact's order: bit k < 6 is pair k, bit 6 + i
  // pod i's checkpoint.
  static constexpr int kPairFirst[6] = {0, 0, 0, 1, 1, 2};
  static constexpr int kPairSecond[6] = {1, 2, 3, 2, 3, 3};
  Contact best;
  for (unsigned left = pairs | passes << 6; left != 0; left &= left - 1) {
    const int k = __builtin_ctz(left);
    if (k < 6)
      testPair(pods, kPairFirst[k], kPairSecond[k], lastA, lastB, best, improvements,
               kNoContact);
    else
      testCheckpoint(pods, k - 6, track, best, improvements, kNoContact);
  }
  return best;
}

// anyOverlap<4>, pair by pair the same sums.
bool anyOverlapOfFour(const PodState* pods) {
  const FourVec2 p = loadFour(pods[0].position, pods[1].position, pods[2].position,
                              pods[3].position);
  const auto overlaps = [](__m128 dx, __m128 dy) {
    const __m128 dd = _mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy));
    const __m128 limit = _mm_set1_ps(kContactDistanceSq);
    return static_cast<unsigned>(_mm_movemask_ps(_mm_cmplt_ps(dd, limit)));
  };
  return (overlaps(firstFourPairs(p.x), firstFourPairs(p.y)) |
          (overlaps(lastTwoPairs(p.x), lastTwoPairs(p.y)) & 3u)) != 0;
}

#else

bool anyOverlapOfFour(const PodState* pods) { return anyOverlap<4>(pods, 4); }

Contact earliestContactOfFour(const PodState* pods, const Track& track, int lastA, int lastB,
                              int& improvements) {
  return earliestContact(pods, 4, track, lastA, lastB, improvements);
}

#endif

// The bound of one pod's checkpoint test: false when the test surely finds
// no contact up to `within`.
bool mayPassWithin(const PodState& pod, const Track& track, float within) {
  constexpr float kCheckpointReach = constants::kPodRadius + constants::kCheckpointRadius;
  const Vec2& cp = track.checkpoints[static_cast<std::size_t>(pod.nextCheckpoint)].position;
  return mayTouchBefore(pod.position - cp, pod.velocity, kCheckpointReach, within);
}

// The exact checkpoint test of one pod.
bool checkpointContact(const PodState& pod, const Track& track, float& t) {
  const Vec2& cp = track.checkpoints[static_cast<std::size_t>(pod.nextCheckpoint)].position;
  return qutils::contactTime(pod.position, pod.velocity, constants::kPodRadius, cp, Vec2(),
                             constants::kCheckpointRadius, t);
}

void passCheckpoint(PodState& pod, const Track& track) {
  const auto count = static_cast<std::int32_t>(track.checkpoints.size());
  pod.nextCheckpoint = pod.nextCheckpoint + 1 >= count ? 0 : pod.nextCheckpoint + 1;
  pod.checkpointsCleared += 1;
}

void appendCheckpointEvent(std::vector<PhysicsEvent>* events, const PodState& pod,
                           const Checkpoint& cp, float time) {
  if (!events)
    return;
  PhysicsEvent e;
  e.type = PhysicsEvent::CheckpointPassed;
  e.firstId = static_cast<std::int32_t>(pod.id);
  e.secondId = static_cast<std::int32_t>(cp.id - constants::kCheckpointIdOffset);
  e.time = time;
  events->push_back(e);
}

void bounce(PodState& a, PodState& b) {
  const float ma = a.shieldCooldown != 0.f ? constants::kShieldMass : 1.f;
  const float mb = b.shieldCooldown != 0.f ? constants::kShieldMass : 1.f;
  const Vec2 n = a.position - b.position;
  const Vec2 u = a.velocity - b.velocity;
  Vec2 f = n * qutils::dot(u, n) / (n.squaredLength() * (ma + mb) / (ma * mb));
  a.velocity -= f / ma;
  b.velocity += f / mb;
  // A zero impulse has no direction to give the minimum push.
  const float len = f.length();
  if (len != 0.f && len < constants::kMinImpulse)
    f = f / len * constants::kMinImpulse;
  a.velocity -= f / ma;
  b.velocity += f / mb;
}

// The direction that separates two pods: from j to i, or a fixed axis when
// their centres coincide and no direction exists.
Vec2 separation(const PodState& i, const PodState& j, float d) {
  if (d == 0.f)
    return Vec2(1.f, 0.f);
  return (i.position - j.position) / d;
}

bool depenetrationPass(std::vector<PodState>& pods, bool brute) {
  bool found = false;
  const std::size_t n = pods.size();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      const float dd = qutils::squaredDistance(pods[i].position, pods[j].position);
      if (dd >= kContactDistanceSq)
        continue;
      found = true;
      const float d = std::sqrt(dd);
      const Vec2 dir = separation(pods[i], pods[j], d);
      const float m = std::max(brute ? 20000.f : 0.1f, (kContactDistance - d) * 0.5f);
      pods[i].position += dir * m;
      pods[j].position -= dir * m;
      if (brute)
        std::fprintf(stderr, "WARNING : simulation had to use brute depenetrate.\n");
    }
  }
  return found;
}

} // namespace

float impactStrength(const Vec2& first, const Vec2& second) {
  const float a = qutils::inverseLerp(1.f, -1.f, qutils::dot(first, second));
  const float b = qutils::inverseLerp(0.f, 800.f, first.length() + second.length());
  return qutils::inverseLerp(0.f, 2.f, a + b);
}

void depenetrate(std::vector<PodState>& pods) {
  for (int brute = 0; brute <= kMaxBrutePasses; ++brute) {
    int gentle = 0;
    while (gentle < kMaxGentlePasses) {
      if (!depenetrationPass(pods, false))
        return;
      ++gentle;
    }
    if (brute == kMaxBrutePasses)
      break;
    depenetrationPass(pods, true);
  }
  Q_REPORT(false);
}

void moveWithCollisions(Race& race, const Track& track, float dt,
                        std::vector<PhysicsEvent>* events) {
  auto& pods = race.pods;
  const int n = static_cast<int>(pods.size());
  float t = 0.f;
  int lastA = -1;
  int lastB = -1;
  int improvements = 0;

  while (t <= dt) {
    Contact next;
    if (improvements < kMaxCandidateImprovements) {
      next = n == 4 ? earliestContactOfFour(pods.data(), track, lastA, lastB, improvements)
                    : earliestContact(pods.data(), n, track, lastA, lastB, improvements);
    } else {
      // Safety stop: the rest of the step runs without contact search.
      Q_REPORT(false);
    }
    const float best = next.time;
    const int candA = next.a;
    const int candB = next.b;

    // No contact found (none, or the search gave up) ends the step, whatever
    // dt the caller asked for.
    if (candA < 0 || dt < t + best) {
      advanceAll(pods, dt - t);
      if (n == 4 ? anyOverlapOfFour(pods.data()) : anyOverlap<0>(pods.data(), n))
        depenetrate(pods);
      return;
    }
    if (best > 0.f)
      advanceAll(pods, best);
    if (n == 4 ? anyOverlapOfFour(pods.data()) : anyOverlap<0>(pods.data(), n))
      depenetrate(pods);

    const float when = t + best;
    if (candB >= 0) {
      PodState& a = pods[candA];
      PodState& b = pods[candB];
      if (events) {
        PhysicsEvent e;
        e.type = PhysicsEvent::PodCollision;
        e.firstId = static_cast<std::int32_t>(a.id);
        e.secondId = static_cast<std::int32_t>(b.id);
        e.time = when;
        e.position = (a.position + b.position) * 0.5f;
        e.normal = b.position - a.position;
        e.strength = impactStrength(a.velocity, b.velocity);
        events->push_back(e);
      }
      if (qutils::distance(a.position, b.position) < kContactDistance - 1.f)
        Q_REPORT(false);
      bounce(a, b);
      lastA = candA;
      lastB = candB;
    } else {
      PodState& p = pods[candA];
      const Checkpoint& cp = track.checkpoints[p.nextCheckpoint];
      passCheckpoint(p, track);
      for (auto& mate : pods)
        if (mate.team == p.team)
          mate.timeout = 0.f;
      appendCheckpointEvent(events, p, cp, when);
      // A checkpoint pass never matches a pod pair.
      lastA = -1;
      lastB = -1;
    }
    t = when;
  }
}

namespace {

// moveSolo's loop, once a pass within the step is possible. moveSolo has
// looked at the timeout, which every pass clears, and taken the first pass's
// bound.
__attribute__((noinline)) void moveSoloPassing(PodState& pod, const Track& track, float dt,
                                               std::vector<PhysicsEvent>* events) {
  float elapsed = 0.f;
  int passes = 0;
  do {
    const float left = dt - elapsed;
    float tc;
    if (passes == kMaxSoloPassesPerStep || (passes > 0 && !mayPassWithin(pod, track, left)) ||
        !checkpointContact(pod, track, tc) || tc > left) {
      advance(pod, left);
      return;
    }
    advance(pod, tc);
    elapsed += tc;
    const Checkpoint& cp = track.checkpoints[pod.nextCheckpoint];
    appendCheckpointEvent(events, pod, cp, elapsed);
    passCheckpoint(pod, track);
    pod.timeout = 0.f;
    ++passes;
  } while (elapsed < dt);
}

} // namespace

void moveSolo(PodState& pod, const Track& track, float dt,
              std::vector<PhysicsEvent>* events) {
  // Most solo steps pass no checkpoint: the bound settles them at once, as the
  // first round of the loop would.
  if (pod.timeout >= constants::kTimeoutLimit || !mayPassWithin(pod, track, dt)) {
    advance(pod, dt);
    return;
  }
  moveSoloPassing(pod, track, dt, events);
}

} // namespace pod
