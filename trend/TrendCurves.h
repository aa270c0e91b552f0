#pragma once

#include "trend/SampleList.h"

#include <string>

// What a recording holds and a trend file stores: the primary variable with
// its range and unit, the loop current in mA and the percent of range, each
// oldest sample first.
struct TrendCurves {
    static constexpr double kDefaultPvLow = -200.0;
    static constexpr double kDefaultPvHigh = 1800.0;

    double pvLow = kDefaultPvLow;
    double pvHigh = kDefaultPvHigh;
    std::string pvUnit; // UTF-8
    SampleList pv;
    SampleList current;
    SampleList percent;

    void RemoveAllSamples() {
        pv.RemoveAll();
        current.RemoveAll();
        percent.RemoveAll();
    }

    bool operator==(const TrendCurves&) const = default;
};
