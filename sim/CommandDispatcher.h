#pragma once

#include "sim/DeviceModel.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Maps a command with its request data to the device model and forms the
// answer data in the layout the master decodes.
class CommandDispatcher {
public:
    // Response codes.
    static constexpr std::uint8_t kSuccess = 0;
    static constexpr std::uint8_t kInvalidSelection = 2;
    static constexpr std::uint8_t kValueTooLarge = 3;
    static constexpr std::uint8_t kValueTooSmall = 4;
    static constexpr std::uint8_t kTooFewDataBytes = 5;
    static constexpr std::uint8_t kProcessNotUsable = 9;
    static constexpr std::uint8_t kInvalidUnits = 12;
    static constexpr std::uint8_t kBusy = 32;
    static constexpr std::uint8_t kNotImplemented = 64;

    struct Reply {
        std::uint8_t m_responseCode = kSuccess;
        std::vector<std::uint8_t> m_data;
        // The stored configuration was written (worth saving).
        bool m_configChanged = false;
    };

    // Number of request data bytes the command takes; nullopt for a command
    // this device does not know.
    static std::optional<std::size_t> RequestLength(std::uint8_t command);

    static Reply Handle(DeviceModel& device, std::uint8_t command,
                        std::span<const std::uint8_t> data, double seconds);
};
