#include "sim/PackedAscii.h"

namespace {

std::uint8_t SixBitCode(char c) {
    auto code = static_cast<std::uint8_t>(c);
    if (code >= 'a' && code <= 'z') {
        code = static_cast<std::uint8_t>(code - 'a' + 'A');
    }
    if (code > 0x3F) {
        code = static_cast<std::uint8_t>(code - 0x40);
    }
    return static_cast<std::uint8_t>(code & 0x3F);
}

char CharacterOf(std::uint32_t code) {
    return static_cast<char>(code < 0x20 ? code + 0x40 : code);
}

} // namespace

std::vector<std::uint8_t> PackedAscii::Pack(std::string_view text, std::size_t characterCount) {
    std::vector<std::uint8_t> out;
    out.reserve(characterCount / 4 * 3);
    for (std::size_t group = 0; group + 4 <= characterCount; group += 4) {
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::size_t index = group + k;
            const char c = index < text.size() ? text[index] : ' ';
            value = (value << 6) | SixBitCode(c);
        }
        out.push_back(static_cast<std::uint8_t>(value >> 16));
        out.push_back(static_cast<std::uint8_t>(value >> 8));
        out.push_back(static_cast<std::uint8_t>(value));
    }
    return out;
}

std::string PackedAscii::Unpack(std::span<const std::uint8_t> packed) {
    std::string text;
    for (std::size_t i = 0; i + 3 <= packed.size(); i += 3) {
        const std::uint32_t value =
            (std::uint32_t{packed[i]} << 16) | (std::uint32_t{packed[i + 1]} << 8) | packed[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) {
            text.push_back(CharacterOf((value >> shift) & 0x3F));
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::string PackedAscii::Normalise(std::string_view text, std::size_t characterCount) {
    return Unpack(Pack(text, characterCount));
}
