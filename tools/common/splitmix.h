// splitmix64: a small, fast generator that gives the same sequence on every
// platform, so a random run can be replayed from its seed.
#pragma once

#include <cstdint>

namespace zemtori {

struct SplitMix64 {
    std::uint64_t s;

    std::uint64_t next() {
        std::uint64_t z = (s += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // Uniform enough in 0..n-1 for the small n used here.
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    // True `percent` times in a hundred.
    bool chance(int percent) { return below(100) < percent; }
};

}  // namespace zemtori
