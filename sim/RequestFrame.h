#pragma once

#include <array>
#include <cstdint>
#include <vector>

// One request from the master with a correct checksum, addressing not yet
// judged.
struct RequestFrame {
    bool m_longAddress = false;
    // Short frames use only byte 0; the master bit is kept as received so the
    // answer can echo it.
    std::array<std::uint8_t, 5> m_address{};
    std::uint8_t m_command = 0;
    std::vector<std::uint8_t> m_data;

    std::uint8_t Delimiter() const { return m_longAddress ? 0x82 : 0x02; }
    std::size_t AddressLength() const { return m_longAddress ? 5 : 1; }
};
