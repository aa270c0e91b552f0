#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text inside the program is UTF-8; language files may be GBK and trend files
// keep their strings in GBK on disk. These helpers convert between the two and
// cut text to a byte budget without leaving half a character behind.
class TextEncoding {
public:
    // Strict check: no overlong forms, no surrogates, nothing above U+10FFFF.
    static bool IsValidUtf8(std::string_view text);

    // GBK (code page 936) to UTF-8. A byte, or a two-byte GBK character, that
    // has no mapping becomes U+FFFD and conversion goes on after it.
    static std::string GbkToUtf8(std::string_view gbk);

    // UTF-8 to GBK. A character GBK cannot hold, or a byte that is not valid
    // UTF-8, becomes '?' and conversion goes on after it.
    static std::string Utf8ToGbk(std::string_view utf8);

    // The longest prefix of at most maxBytes bytes that ends on a character
    // boundary. The result points into the argument.
    static std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);
    static std::string_view CutGbk(std::string_view text, std::size_t maxBytes);

    // Length of the valid UTF-8 sequence starting at text[pos], 0 when the
    // bytes there do not form one.
    static std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

    // True when text[pos] is a GBK lead byte with a trail byte after it, that
    // is when the character at pos takes two bytes.
    static bool IsGbkPair(std::string_view text, std::size_t pos);
};
