#pragma once

#include "sim/FaultInjector.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The simulator's command line.
struct SimOptions {
    enum class Timing { Real, Fast };

    // 0 = the lowest free COM number.
    int m_com = 0;
    // Polling addresses of the devices on the line, in order.
    std::vector<std::uint8_t> m_devices{0};
    Timing m_timing = Timing::Real;
    std::vector<FaultInjector::Rule> m_faults;
    bool m_log = false;
    std::string m_stateFile;
    std::uint64_t m_seed = 1;
    bool m_sensorBroken = false;
    // Device status bits set in every answer, besides those the device sets
    // itself (0x08 while the loop current is fixed).
    std::uint8_t m_statusBits = 0;
    // Commands the devices answer with response code 64, not implemented.
    std::vector<std::uint8_t> m_unsupported;
    bool m_help = false;

    // Fills options from the arguments (without the program name). On a bad
    // argument returns false with a one-line reason in error.
    static bool Parse(const std::vector<std::string>& arguments, SimOptions* options,
                      std::string* error);
    static std::string Usage(const std::string& program);
};
