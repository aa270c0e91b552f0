#pragma once

#include <array>
#include <cstdint>
#include <span>

// IEEE single-precision floats as they travel in frame data: most
// significant byte first.
class WireFloat {
public:
    static std::array<std::uint8_t, 4> Encode(float value);
    static float Decode(std::span<const std::uint8_t, 4> bytes);
};
