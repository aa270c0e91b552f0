#pragma once

#include <array>
#include <cstdint>
#include <string>

// The transmitter's data as the tool knows it. Pages write request values here
// before a command sequence and read answers back after it succeeded; it is the
// only data path between the pages and the wire. Texts are UTF-8.
struct DeviceRecord {
    // Addressing
    std::uint8_t pollingAddress = 0;    // short address used by command 0, 0..15
    std::uint8_t newPollingAddress = 0; // address to program with command 6
    std::array<std::uint8_t, 5> longAddress{};
    std::string deviceTypeName;

    // Process values
    float pv = 0;
    std::string pvUnitText; // unit of pv and of the range values
    float loopCurrent = 0;  // mA
    float percentOfRange = 0;
    float pv3 = 0, sv = 0, tv = 0;

    // Identity
    std::string message;    // 32 characters on the wire
    std::string tag;        // 8 characters on the wire
    std::string descriptor; // 16 characters on the wire
    std::uint8_t dateDay = 0;
    std::uint8_t dateMonth = 0;
    std::uint16_t dateYear = 0;      // full year
    std::string finalAssemblyNumber; // six upper-case hexadecimal digits

    // Sensor limits and range
    std::string sensorLimitUnitText;
    float upperSensorLimit = 0, lowerSensorLimit = 0;
    float upperRangeValue = 0, lowerRangeValue = 0;
    float damping = 0; // seconds

    // Output
    float fixedCurrent = 0; // mA; 0 leaves fixed-current mode
    float trimZeroCurrent = 0, trimGainCurrent = 0;

    std::string versionText; // "V%d.%d%d"

    // Sensor and display blocks
    std::uint8_t sensor1Type = 0;
    std::uint8_t sensor2Type = 0;  // 255: no second sensor
    std::uint8_t sensorSetupA = 0; // low nibble: sensor 1 wiring index, high: sensor 2
    std::uint8_t sensorSetupB = 0; // low nibble: work mode, high: sensor driving the output
    float sensorValueA = 0, sensorValueB = 0;      // sensor offsets
    std::array<std::uint8_t, 3> displaySettings{}; // mode index, decimals index, alarm index

    // Device-specific values that no page uses, named by the command that reads them.
    float value137 = 0;
    std::uint8_t byte138a = 0, byte138b = 0;
    std::array<float, 2> floatPair140{};
    std::array<std::uint8_t, 5> bytes141{};
    float value142 = 0;
    std::uint8_t byte143 = 0;
    std::array<std::uint8_t, 4> bytes143a{}, bytes143b{};
    double number143a = 0, number143b = 0;
    std::array<float, 3> floats144{};
    float value145 = 0;
    std::array<std::uint8_t, 2> bytePair148{};
    float value150 = 0;
    std::uint8_t byte150 = 0;
    std::array<std::uint8_t, 2> selector152{};
    std::array<std::uint8_t, 34> block152{};
    std::uint8_t byte192 = 0; // the byte sent after block 152 by command 192
    std::uint8_t flag160 = 0;
    std::array<std::uint16_t, 2> wordPair161{};
    std::uint8_t selector184 = 0;

    bool operator==(const DeviceRecord&) const = default;
};
