#pragma once

#include <string>

// Chooses the language file for messages.
class LanguageFinder {
public:
    // The first "*.ini" in name order directly in directory whose section
    // "Lang" names a language; "" when there is none.
    static std::string FindDefault(const std::string& directory);
    // The language's display name in file ("" when it names none).
    static std::string LanguageName(const std::string& file);
};
