#pragma once

#include <cstdint>

// One recorded value: what was measured, in the curve's unit, and when, in
// seconds since 1970-01-01 00:00 UTC (shown in local time). The trend file
// stores the time in 32 bits, so it is kept in 32 bits here too.
struct TrendSample {
    double value = 0.0;
    std::int32_t time = 0;

    bool operator==(const TrendSample&) const = default;
};
