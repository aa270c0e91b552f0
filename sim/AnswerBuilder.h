#pragma once

#include "sim/RequestFrame.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Builds the answer frame to a request: preambles, delimiter 0x06 or 0x86 with
// the request's address echoed, command, byte count (status bytes included),
// response code, device status, data and checksum.
class AnswerBuilder {
public:
    static constexpr std::size_t kNormalPreambles = 5;

    static std::vector<std::uint8_t> Build(const RequestFrame& request, std::uint8_t responseCode,
                                           std::uint8_t deviceStatus,
                                           std::span<const std::uint8_t> data,
                                           std::size_t preambles = kNormalPreambles);
};
