#pragma once

#include <string>
#include <string_view>

// Reads private-profile (INI) files: "[section]" lines open a section and
// "key=value" lines give values. Section and key names match without regard
// to ASCII case, blanks around names and values are dropped, lines starting
// with ';' are comments, and the first occurrence of a key wins.
//
// A file is taken as UTF-8 when its bytes (after an optional UTF-8 byte-order
// mark) are valid UTF-8, otherwise as GBK; results are always UTF-8. The file
// is read anew on every call, so a changed file takes effect at once.
class PrivateProfile {
public:
    // Longest value returned, in bytes of the file's own encoding; longer
    // values are cut there without splitting a character.
    static constexpr std::size_t MaxValueBytes = 255;

    // Files larger than this are read only up to this size.
    static constexpr std::size_t MaxFileBytes = 16 * 1024 * 1024;

    // The value of key in section, or "" when the file, the section or the key
    // is missing or the value is empty.
    static std::string ReadString(const std::string& path, std::string_view section,
                                  std::string_view key);
};
