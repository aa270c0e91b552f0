#include "pages/SensorTable.h"

#include "hart/UnitTables.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace {

// The transmitter keeps the temperature limits as 16-bit integers.
struct TemperatureType {
    std::string_view name;
    std::int16_t lower;
    std::int16_t upper;
};

struct ElectricalType {
    std::string_view name;
    std::string_view unit;
    double lower;
    double upper;
};

constexpr std::array<TemperatureType, 21> TemperatureTypes{{
    {"Type B", 0, 1820},
    {"Type E", -270, 1000},
    {"Type J", -210, 1200},
    {"Type K", -270, 1372},
    {"Type N", -270, 1300},
    {"Type R", -50, 1768},
    {"Type S", -50, 1768},
    {"Type T", -270, 400},
    {"Type C", 0, 2320},
    {"Type D", 0, 2320},
    {"PT100", -200, 850},
    {"PT500", -200, 250},
    {"PT1000", -200, 250},
    {"Cu50", -50, 150},
    {"Cu100", -50, 150},
    {"Ni 100(5000ppm/K)", -60, 180},
    {"Ni 500(5000ppm/K)", -60, 180},
    {"Ni 1000(5000ppm/K)", -60, 150},
    {"Ni 100(6180ppm/K)", -60, 180},
    {"Ni 500(6180ppm/K)", -60, 180},
    {"Ni 1000(6180ppm/K)", -60, 150},
}};

constexpr std::array<ElectricalType, 7> ElectricalTypes{{
    {"0...400R", "Ohm", 0.0, 400.0},
    {"0...2000R", "Ohm", 0.0, 2000.0},
    {"0...10KOhm", "Ohm", 0.0, 10000.0},
    {"-10...75mV", "mV", -10.0, 75.0},
    {"-100...100mV", "mV", -100.0, 100.0},
    {"-500...500mV", "mV", -500.0, 500.0},
    {"-1000...1000mV", "mV", -1000.0, 1000.0},
}};

static_assert(TemperatureTypes.size() + ElectricalTypes.size() == SensorTable::CodeCount);

constexpr std::array<int, SensorPositionCount> CodeOfPosition{
    10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 0,  1,  2,
    3,  4,  5,  6,  7,  8,  9,  21, 22, 24, 25, 26, 27,
};

constexpr std::array<int, SensorTable::CodeCount> PositionOfCode{
    11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 0,  1,  2,  3,
    4,  5,  6,  7,  8,  9,  10, 21, 22, -1, 23, 24, 25, 26,
};

} // namespace

void SensorTable::Build() {
    const std::string celsius = CelsiusText();
    m_entries.clear();
    m_entries.reserve(CodeCount);
    for (const TemperatureType& type : TemperatureTypes) {
        m_entries.push_back(SensorInfo{std::string(type.name), celsius,
                                       static_cast<double>(type.lower),
                                       static_cast<double>(type.upper)});
    }
    for (const ElectricalType& type : ElectricalTypes) {
        m_entries.push_back(
            SensorInfo{std::string(type.name), std::string(type.unit), type.lower, type.upper});
    }
}

const SensorInfo* SensorTable::SensorInfoOfCode(int code) const {
    if (code < 0 || static_cast<std::size_t>(code) >= m_entries.size()) {
        return nullptr;
    }
    return &m_entries[static_cast<std::size_t>(code)];
}

int SensorCodeOfPosition(int position) {
    if (position < 0 || position >= SensorPositionCount) {
        return -1;
    }
    return CodeOfPosition[static_cast<std::size_t>(position)];
}

int PositionOfSensorCode(int code) {
    if (code < 0 || code >= SensorTable::CodeCount) {
        return -1;
    }
    return PositionOfCode[static_cast<std::size_t>(code)];
}

bool WireApplies(int position) {
    return (position >= 0 && position <= 10) || (position >= 21 && position <= 23);
}

SensorClass SensorClassOfCode(int code) {
    if (code <= 20) {
        return SensorClass::Temperature;
    }
    if (code <= 23) {
        return SensorClass::Resistance;
    }
    return SensorClass::Millivolt;
}
