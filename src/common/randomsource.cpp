#include "common/randomsource.h"

#include <bit>
#include <cmath>

namespace vordane {

std::uint64_t RandomSource::seedValue(double value)
{
    if (value == 0.0) // also -0
        return 0;
    constexpr double kTwo63 = 9223372036854775808.0;
    if (std::isfinite(value) && std::trunc(value) == value && value >= -kTwo63 && value < kTwo63)
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
    return std::bit_cast<std::uint64_t>(value);
}

void RandomSource::seed(double value)
{
    engine_.seed(seedValue(value));
}

RandomSource &programRandom()
{
    static RandomSource source;
    return source;
}

} // namespace vordane
