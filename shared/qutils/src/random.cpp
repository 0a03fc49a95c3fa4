#include "qutils/random.h"

#include <cstdlib>

namespace qutils {

namespace {

std::uint64_t splitmix64(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

} // namespace

// glibc's rand() reaches 2^31 - 1; the formulas are written for 15 bits.
int rand15() { return std::rand() & 0x7FFF; }

float randomFloat01() { return static_cast<float>(rand15()) / 32767.f; }

float randomFloat(float a, float b) {
  return a + static_cast<float>(rand15()) / (32767.f / (b - a));
}

int randomInt(int a, int b) { return a + rand15() % (b - a + 1); }

Random::Random(std::uint64_t s) : state_(0) { seed(s); }

void Random::seed(std::uint64_t s) {
  std::uint64_t x = s;
  state_ = splitmix64(x);
  if (state_ == 0) // xorshift never leaves zero
    state_ = 0x9E3779B97F4A7C15ull;
}

float Random::float01() { return static_cast<float>(next15()) / 32767.f; }

float Random::uniform(float a, float b) {
  return a + static_cast<float>(next15()) / (32767.f / (b - a));
}

int Random::uniformInt(int a, int b) { return a + next15() % (b - a + 1); }

std::uint64_t deriveSeed(std::uint64_t base, std::uint64_t stream) {
  std::uint64_t x = base ^ (stream * 0xD1B54A32D192ED03ull);
  splitmix64(x);
  return splitmix64(x);
}

} // namespace qutils
