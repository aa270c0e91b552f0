#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

// Everything a transmitter keeps in non-volatile memory: what the state file
// saves and a restart restores. Floats of the device-specific blocks are kept
// as the four wire bytes, so they read back bit for bit as written.
struct DeviceConfig {
    std::uint32_t m_deviceId = 0x5A0001; // 24 bits, the tail of the long address
    std::uint8_t m_pollingAddress = 0;

    std::string m_tag = "TT101";
    std::string m_descriptor = "SIM TRANSMITTER";
    std::string m_message = "CALORA SIMULATED TRANSMITTER";
    std::uint8_t m_day = 15;
    std::uint8_t m_month = 3;
    std::uint8_t m_yearSince1900 = 124;
    std::uint32_t m_finalAssembly = 0x000001; // 24 bits

    std::uint8_t m_pvUnit = 32;
    float m_upperRange = 100.0f;
    float m_lowerRange = 0.0f;
    float m_damping = 1.0f;

    // Sensor block of commands 146/186: sensor 1 type, sensor 2 type (255 =
    // none), wiring nibbles, work mode and output sensor nibbles, sensor 1
    // offset, sensor 2 offset. Default: one PT100 on three wires.
    std::array<std::uint8_t, 12> m_sensorBlock{10, 255, 0x11, 0x00, 0, 0, 0, 0, 0, 0, 0, 0};
    // Display block of commands 147/187: display mode, decimals, alarm
    // (0 = high alarm 22 mA, 1 = low alarm 3.6 mA).
    std::array<std::uint8_t, 3> m_displayBlock{0, 1, 0};

    // References the user measured at 4 mA and 20 mA (commands 45/46).
    float m_trimZero = 4.0f;
    float m_trimGain = 20.0f;

    // Device-specific values, named after the command that reads them.
    std::array<std::uint8_t, 4> m_value137{};
    std::uint8_t m_byte138a = 0;
    std::uint8_t m_byte138b = 0;
    std::array<std::uint8_t, 8> m_pair140{};
    std::array<std::uint8_t, 5> m_bytes141{};
    std::array<std::uint8_t, 4> m_value142{};
    // Command 143 reads, and 183 writes, one 18-byte record per selector byte.
    std::map<std::uint8_t, std::array<std::uint8_t, 18>> m_records143;
    std::array<std::uint8_t, 12> m_floats144{};
    std::array<std::uint8_t, 4> m_value145{};
    std::array<std::uint8_t, 2> m_pair148{};
    std::array<std::uint8_t, 5> m_block150{};  // float, then the raw byte
    std::array<std::uint8_t, 35> m_block152{}; // 34 read back, one more written by 192
    std::uint8_t m_flag160 = 2;
    std::array<std::uint8_t, 4> m_words161{};

    bool operator==(const DeviceConfig&) const = default;
};
