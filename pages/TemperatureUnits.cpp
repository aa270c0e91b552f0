#include "pages/TemperatureUnits.h"

namespace {

constexpr std::string_view DegreeCelsius = "\u00B0C";
constexpr std::string_view CelsiusSign = "\u2103";
constexpr std::string_view Kelvin = "K";
constexpr std::string_view Fahrenheit = "F";

constexpr double CelsiusToFahrenheit = 1.8;
constexpr double FahrenheitToCelsius = 0.5555555555555556;
constexpr double FahrenheitZeroInCelsius = 17.77777777777778; // 32 / 1.8
constexpr double KelvinOffset = 273.16;
constexpr double KelvinZeroInFahrenheit = 459.688; // 273.16 * 1.8 - 32

ConvertedTemperatures Convert(double zero, double span, double offset1, double offset2,
                              double (*temperature)(double), double offsetFactor) {
    return ConvertedTemperatures{temperature(zero), temperature(span), offset1 * offsetFactor,
                                 offset2 * offsetFactor};
}

} // namespace

bool IsCelsiusUnit(std::string_view unit) {
    return unit == DegreeCelsius || unit == CelsiusSign;
}

bool IsTemperatureUnit(std::string_view unit) {
    return IsCelsiusUnit(unit) || unit == Kelvin || unit == Fahrenheit;
}

double OffsetToDisplay(double offset, std::string_view unit) {
    return unit == Fahrenheit ? offset * CelsiusToFahrenheit : offset;
}

double OffsetToDevice(double offset, std::string_view unit) {
    return unit == Fahrenheit ? offset * FahrenheitToCelsius : offset;
}

ConvertedTemperatures ConvertTemperatures(std::string_view oldUnit, std::string_view newUnit,
                                          double zero, double span, double offset1,
                                          double offset2) {
    if (IsCelsiusUnit(oldUnit)) {
        if (newUnit == Kelvin) {
            return Convert(
                zero, span, offset1, offset2, [](double v) { return v + KelvinOffset; }, 1.0);
        }
        return Convert(
            zero, span, offset1, offset2, [](double v) { return v * CelsiusToFahrenheit + 32; },
            CelsiusToFahrenheit);
    }
    if (oldUnit == Kelvin) {
        if (IsCelsiusUnit(newUnit)) {
            return Convert(
                zero, span, offset1, offset2, [](double v) { return v - KelvinOffset; }, 1.0);
        }
        return Convert(
            zero, span, offset1, offset2,
            [](double v) { return v * CelsiusToFahrenheit - KelvinZeroInFahrenheit; },
            CelsiusToFahrenheit);
    }
    if (IsCelsiusUnit(newUnit)) {
        return Convert(
            zero, span, offset1, offset2,
            [](double v) { return v * FahrenheitToCelsius - FahrenheitZeroInCelsius; },
            FahrenheitToCelsius);
    }
    return Convert(
        zero, span, offset1, offset2,
        [](double v) { return v * FahrenheitToCelsius - FahrenheitZeroInCelsius + KelvinOffset; },
        FahrenheitToCelsius);
}
