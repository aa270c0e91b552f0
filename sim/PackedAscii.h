#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Six-bit packed text of the tag, descriptor and message fields: four
// characters in three bytes.
class PackedAscii {
public:
    // Upper-cases, pads with spaces and cuts to characterCount (a multiple of
    // 4), then packs. Characters outside 0x20..0x5F keep only their low six bits
    // after the 0x40 fold, so any input yields exactly characterCount / 4 * 3 bytes.
    static std::vector<std::uint8_t> Pack(std::string_view text, std::size_t characterCount);

    // Unpacks every complete group of three bytes and removes trailing spaces.
    static std::string Unpack(std::span<const std::uint8_t> packed);

    // The text as the device keeps it: upper-cased, cut to characterCount,
    // trailing spaces removed; the same text Unpack(Pack(text)) gives.
    static std::string Normalise(std::string_view text, std::size_t characterCount);
};
