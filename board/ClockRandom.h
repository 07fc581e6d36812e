// The program's random source: a Mersenne Twister seeded from the time of day.
#pragma once

#include <cstdint>
#include <random>

#include "board/Seeding.h"

namespace gridbloom {

class ClockRandom final : public RandomSource {
public:
    void ReseedFromClock() override;
    float NextUnit() override;

private:
    std::mt19937 engine_;
};

}  // namespace gridbloom
