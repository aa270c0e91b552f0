#pragma once

#include <string>
#include <vector>

// One input type the transmitter knows: its name, the unit of its range and
// the range itself.
struct SensorInfo {
    std::string name;
    std::string unit;
    double lower = 0.0;
    double upper = 0.0;
};

// The 28 input types, indexed by sensor code.
class SensorTable {
public:
    static constexpr int CodeCount = 28;

    // Fills the table in code order. The temperature types take the Celsius
    // text of the language in use now; a later call rebuilds the table with
    // the text then in use.
    void Build();

    // The entry of code; nullptr for codes outside 0..27 or before Build().
    const SensorInfo* SensorInfoOfCode(int code) const;

private:
    std::vector<SensorInfo> m_entries;
};

// Entries of the sensor-type combo boxes: resistance thermometers first, then
// thermocouples, resistance ranges and millivolt ranges.
inline constexpr int SensorPositionCount = 27;

// Sensor code at a combo position; -1 for positions outside 0..26.
int SensorCodeOfPosition(int position);

// Combo position of a sensor code; -1 for code 23 ("0...10KOhm", which the
// combo does not list) and for codes outside 0..27.
int PositionOfSensorCode(int code);

// True when the wire setting (2, 3 or 4 wires) applies to the type at the
// combo position: resistance thermometers and resistance ranges.
bool WireApplies(int position);

// What a sensor code measures, for the check that pairs two sensors.
enum class SensorClass { Temperature, Resistance, Millivolt };

// Codes 0..20 temperature, 21..23 resistance, 24 and above millivolt.
SensorClass SensorClassOfCode(int code);
