#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Value encodings inside HART frame data: packed ASCII, big-endian IEEE
// floats and the five-byte base-256 floating number of the device-specific
// calibration commands.
class HartCodec {
public:
    // Upper-cases the ASCII letters of text in place; other bytes stay.
    static void UpperCaseAscii(std::string& text);

    // Packs text into out (characterCount / 4 * 3 bytes): upper-cased, padded with
    // spaces and cut to characterCount characters. A character without a packed
    // form (control codes, anything above 0x5F after upper-casing, and every
    // non-ASCII character, however many UTF-8 bytes it has) is sent as '?', so
    // the fields after it never shift. characterCount must be a multiple of 4
    // and out exactly characterCount / 4 * 3 bytes long; otherwise nothing is
    // written and false is returned.
    static bool PackAscii(std::string_view text, std::size_t characterCount,
                          std::span<std::uint8_t> out);

    // Four characters from three packed bytes.
    static std::array<char, 4> UnpackAscii(std::span<const std::uint8_t, 3> packed);

    // The text of a packed field (a multiple of 3 bytes), trailing spaces removed.
    static std::string UnpackAsciiText(std::span<const std::uint8_t> packed);

    static float FloatFromBytes(std::span<const std::uint8_t, 4> bytes);
    static std::array<std::uint8_t, 4> FloatToBytes(float value);

    static double Exp256ToDouble(std::span<const std::uint8_t, 5> bytes);
    static std::array<std::uint8_t, 5> DoubleToExp256(double value);
};
