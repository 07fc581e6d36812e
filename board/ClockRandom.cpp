#include "board/ClockRandom.h"

#include <chrono>

namespace gridbloom {

void ClockRandom::ReseedFromClock() {
    // The whole nanosecond count, both 32-bit halves, goes through seed_seq:
    // two reseeds a moment apart, within the same second, still start
    // different and unrelated sequences.
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto nanoseconds =
        static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count());
    std::seed_seq sequence{static_cast<std::uint32_t>(nanoseconds & 0xFFFFFFFFu),
                           static_cast<std::uint32_t>(nanoseconds >> 32)};
    engine_.seed(sequence);
}

float ClockRandom::NextUnit() {
    // The top 24 bits of a 32-bit output fit a float's significand exactly,
    // and scaling by 2^-24 is exact too, so the result is k / 2^24 for some k
    // in 0 .. 2^24 - 1: never 1.
    const auto top24 = static_cast<std::uint32_t>(engine_() >> 8);
    return static_cast<float>(top24) * 0x1.0p-24f;
}

}  // namespace gridbloom
