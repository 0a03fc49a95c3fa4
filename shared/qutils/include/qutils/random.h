#pragma once

#include <cstdint>

namespace qutils {

// Draws from the process-wide standard generator (seeded once at start-up),
// reduced to the range [0, 32767] that every formula of the program assumes.
int rand15();
float randomFloat01();                 // r / 32767
float randomFloat(float a, float b);   // a + r / (32767 / (b - a))
int randomInt(int a, int b);           // a + r % (b - a + 1)

// A small deterministic generator with the same 15-bit output, for threads
// and runs that must each own their stream (planner workers, arena races).
class Random {
public:
  explicit Random(std::uint64_t seed = 0);

  void seed(std::uint64_t seed);
  // Uniform in [0, 32767]. In the header: the planners draw it in their
  // innermost loop. xorshift64*: fast, good enough for 15-bit draws.
  int next15() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    const std::uint64_t out = state_ * 0x2545F4914F6CDD1Dull;
    return static_cast<int>(out >> 49);
  }
  float float01();                     // r / 32767
  float uniform(float a, float b);     // a + r / (32767 / (b - a))
  int uniformInt(int a, int b);        // a + r % (b - a + 1)

private:
  std::uint64_t state_;
};

// Mixes a base seed with a stream identity (worker number, race index).
std::uint64_t deriveSeed(std::uint64_t base, std::uint64_t stream);

} // namespace qutils
