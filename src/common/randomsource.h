#pragma once

#include <cstdint>
#include <random>

namespace vordane {

// The pseudo-random source of the whole program: generation runs and the
// dictionary combiner draw from the one instance returned by
// programRandom(); only "Utilizar semilla" reseeds it. Without reseeding,
// every program run starts from the same fixed state.
//
// The sequence is std::mt19937_64, whose output the C++ standard fixes, so
// the same seed gives the same draws on every platform and compiler.
//   - start state: the engine's default seed (5489);
//   - seed(x): an integral x in the 64-bit range seeds the engine with x
//     itself (negative values in two's complement, so -0 is 0); any other
//     value (fractional or out of range) seeds it with the IEEE-754 bit
//     pattern of the double x;
//   - nextUnit(): r = (next() >> 11) * 2^-53, uniform in [0, 1);
//   - nextIndex(n): floor(r * n), 0 when n is 0 (the draw is still consumed).
class RandomSource {
public:
    RandomSource() = default;

    void reset() { engine_.seed(std::mt19937_64::default_seed); }
    void seed(double value);

    // (The conversions go through signed integers, which the processor
    // converts in one instruction: every value here is below 2^63.)
    double nextUnit() { return double(std::int64_t(engine_() >> 11)) * 0x1.0p-53; }
    std::uint64_t nextIndex(std::uint64_t n)
    {
        const double r = nextUnit();
        if (n == 0)
            return 0;
        // r * n >= 0: truncation is floor
        const auto index = std::uint64_t(std::int64_t(r * double(std::int64_t(n))));
        return index < n ? index : n - 1; // r * n may round up to n for very large n
    }

    // The 64-bit engine value a seed number maps to.
    static std::uint64_t seedValue(double value);

private:
    std::mt19937_64 engine_;
};

RandomSource &programRandom();

} // namespace vordane
