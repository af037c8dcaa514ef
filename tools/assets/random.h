// Deterministic pseudo-random numbers and hash noise for the generated pictures and music.
// Our own small generators, so that every build writes the same bytes.
#pragma once

#include <cstdint>

namespace assets {

// splitmix64: one step mixes a 64-bit counter into a well-spread value.
inline std::uint64_t mix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A stream of numbers from a fixed seed (xorshift64*, seeded through splitmix64).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(mix64(seed) | 1u) {}

    std::uint32_t nextU32() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(nextU32() >> 8) * (1.0f / 16777216.0f); }
    // Uniform in [-1, 1).
    float bipolar() { return uniform() * 2.0f - 1.0f; }
    // Uniform in [lo, hi).
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

private:
    std::uint64_t state_;
};

// A value in [0, 1) fixed by two integer coordinates and a seed: the lattice of value noise.
inline float hash2(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) ^
                        static_cast<std::uint32_t>(y) ^ (static_cast<std::uint64_t>(seed) << 17);
    return static_cast<float>(mix64(key) >> 40) * (1.0f / 16777216.0f);
}

}  // namespace assets
