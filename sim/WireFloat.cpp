#include "sim/WireFloat.h"

#include <bit>

std::array<std::uint8_t, 4> WireFloat::Encode(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
            static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
}

float WireFloat::Decode(std::span<const std::uint8_t, 4> bytes) {
    const std::uint32_t bits = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                               (std::uint32_t{bytes[2]} << 8) | bytes[3];
    return std::bit_cast<float>(bits);
}
