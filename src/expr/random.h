#pragma once
// The random-number generator: xoshiro256** seeded through splitmix64, so a
// seed gives the same sequence on every run and machine.
#include <cstdint>

namespace kestrel {

class Random {
 public:
  explicit Random(uint64_t seed = 0) { reseed(seed); }
  void reseed(uint64_t seed) {
    for (uint64_t& word : state_) {
      seed += 0x9E3779B97F4A7C15ull;
      uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      word = z ^ (z >> 31);
    }
  }
  uint64_t next() {
    const uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
  }
  // A fraction in [0, 1) with 53 random bits.
  double fraction() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  // An integer in [0, n); 0 when n is not positive.
  int32_t below(int32_t n) {
    if (n <= 0) return 0;
    return static_cast<int32_t>((next() >> 32) * static_cast<uint64_t>(n) >> 32);
  }

 private:
  static uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  uint64_t state_[4];
};

}  // namespace kestrel
