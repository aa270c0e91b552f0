#pragma once

#include <string_view>

// Unit texts and the arithmetic with which the sensor page converts range
// values and sensor offsets between Celsius, Kelvin and Fahrenheit. Celsius is
// either "°C" or "℃", whichever language is in use; Kelvin is "K" and
// Fahrenheit "F", compared exactly.

// True for "°C", "℃", "K" and "F".
bool IsTemperatureUnit(std::string_view unit);

// True for either Celsius text.
bool IsCelsiusUnit(std::string_view unit);

// A stored offset (a temperature difference in Celsius or Kelvin) as shown in
// unit: times 1.8 for "F", otherwise unchanged.
double OffsetToDisplay(double offset, std::string_view unit);

// An offset typed in unit as stored: times 0.5555555555555556 for "F",
// otherwise unchanged.
double OffsetToDevice(double offset, std::string_view unit);

struct ConvertedTemperatures {
    double zero = 0.0;
    double span = 0.0;
    double offset1 = 0.0;
    double offset2 = 0.0;
};

// Converts the range ends zero and span as temperatures and the two offsets
// as temperature differences from oldUnit to newUnit. Kelvin is Celsius plus
// 273.16 in both directions, as the transmitter reckons it. Only a change of
// unit is meaningful: the row is chosen from the old unit (Celsius, "K",
// anything else counts as "F") and whether the new one is "K" or Celsius, so
// equal units still convert (Celsius to Celsius goes to F).
ConvertedTemperatures ConvertTemperatures(std::string_view oldUnit, std::string_view newUnit,
                                          double zero, double span, double offset1, double offset2);
