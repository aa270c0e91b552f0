#include "hart/HartCodec.h"

#include <bit>
#include <cmath>

namespace {

// Length in bytes of the UTF-8 sequence starting at text[i]; 1 for a byte that
// does not start a valid sequence, so malformed text still advances.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 1;
    }
    if (i + length > text.size()) {
        return 1;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

std::uint8_t SixBitCode(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        c = static_cast<unsigned char>(c - 'a' + 'A');
    }
    if (c < 0x20 || c > 0x5F) {
        c = '?';
    }
    return static_cast<std::uint8_t>(c > 0x3F ? c - 0x40 : c);
}

// The integer part of a non-negative m as one byte (m is below 256 here).
std::uint8_t WholePart(double m) {
    return static_cast<std::uint8_t>(std::fmod(std::floor(m), 256.0));
}

} // namespace

void HartCodec::UpperCaseAscii(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
}

bool HartCodec::PackAscii(std::string_view text, std::size_t characterCount,
                          std::span<std::uint8_t> out) {
    if (characterCount % 4 != 0 || out.size() != characterCount / 4 * 3) {
        return false;
    }
    std::size_t textIndex = 0;
    std::uint32_t group = 0;
    for (std::size_t n = 0; n < characterCount; ++n) {
        unsigned char c = ' ';
        if (textIndex < text.size()) {
            const std::size_t length = Utf8SequenceLength(text, textIndex);
            c = length == 1 ? static_cast<unsigned char>(text[textIndex]) : '?';
            if (c >= 0x80) {
                c = '?';
            }
            textIndex += length;
        }
        group = (group << 6) | SixBitCode(c);
        if (n % 4 == 3) {
            const std::size_t at = n / 4 * 3;
            out[at] = static_cast<std::uint8_t>(group >> 16);
            out[at + 1] = static_cast<std::uint8_t>(group >> 8);
            out[at + 2] = static_cast<std::uint8_t>(group);
            group = 0;
        }
    }
    return true;
}

std::array<char, 4> HartCodec::UnpackAscii(std::span<const std::uint8_t, 3> packed) {
    const std::uint32_t group =
        (std::uint32_t{packed[0]} << 16) | (std::uint32_t{packed[1]} << 8) | packed[2];
    std::array<char, 4> characters{};
    for (int k = 0; k < 4; ++k) {
        auto code = static_cast<std::uint8_t>((group >> (18 - 6 * k)) & 0x3F);
        if (code < 0x20) {
            code = static_cast<std::uint8_t>(code + 0x40);
        }
        characters[static_cast<std::size_t>(k)] = static_cast<char>(code);
    }
    return characters;
}

std::string HartCodec::UnpackAsciiText(std::span<const std::uint8_t> packed) {
    std::string text;
    for (std::size_t at = 0; at + 3 <= packed.size(); at += 3) {
        const auto characters = UnpackAscii(packed.subspan(at).first<3>());
        text.append(characters.data(), characters.size());
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

float HartCodec::FloatFromBytes(std::span<const std::uint8_t, 4> bytes) {
    const std::uint32_t bits = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                               (std::uint32_t{bytes[2]} << 8) | bytes[3];
    return std::bit_cast<float>(bits);
}

std::array<std::uint8_t, 4> HartCodec::FloatToBytes(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
            static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
}

double HartCodec::Exp256ToDouble(std::span<const std::uint8_t, 5> bytes) {
    int exponent = bytes[4] & 0x7F;
    if (exponent >= 64) {
        exponent -= 128;
    }
    const double mantissa =
        bytes[3] + bytes[2] / 256.0 + bytes[1] / 65536.0 + bytes[0] / 16777216.0;
    const double magnitude = std::ldexp(mantissa, 8 * exponent);
    return (bytes[4] & 0x80) != 0 ? -magnitude : magnitude;
}

std::array<std::uint8_t, 5> HartCodec::DoubleToExp256(double value) {
    std::array<std::uint8_t, 5> bytes{};
    const bool negative = std::signbit(value);
    double m = std::fabs(value);
    if (std::isnan(m) || m == 0) {
        return bytes;
    }
    int exponent = 0;
    if (m >= 256) {
        // Scale down until the whole part fits one byte.
        for (int p = 1; p < 100; ++p) {
            m = std::fabs(value) / std::pow(256.0, p);
            if (m < 256) {
                exponent = p;
                break;
            }
        }
    } else if (m < 1) {
        // Scale up until the whole part is at least one. Stopping only above 1
        // would turn exact powers of 1/256 into a whole part of 256, which does
        // not fit its byte.
        for (int p = 1; p < 100; ++p) {
            m = std::fabs(value) * std::pow(256.0, p);
            if (m >= 1) {
                exponent = -p;
                break;
            }
        }
    }
    // The exponent has seven bits. Beyond them the number has no form: the
    // largest magnitude stands in for anything too large (infinity included),
    // zero for anything too small, rather than a wrapped exponent.
    if (exponent > 63 || m >= 256) {
        bytes = {0xFF, 0xFF, 0xFF, 0xFF, 63};
    } else if (exponent < -64 || m < 1) {
        return std::array<std::uint8_t, 5>{};
    } else {
        bytes[4] = static_cast<std::uint8_t>(exponent & 0x7F);
        bytes[3] = WholePart(m);
        for (int k = 2; k >= 0; --k) {
            m = (m - std::floor(m)) * 256;
            bytes[static_cast<std::size_t>(k)] = WholePart(m);
        }
    }
    if (negative) {
        bytes[4] |= 0x80;
    }
    return bytes;
}
