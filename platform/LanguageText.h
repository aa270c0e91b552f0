#pragma once

#include <string>
#include <string_view>

// Full path of the language file in use; empty until a language is chosen.
extern std::string CurrentLanguageFile;

// The text of key in section "String" of the language file in use. Every
// problem (no language chosen, missing file, section or key) gives "".
std::string LoadLanguageText(std::string_view key);

// The text of key in the given section of the language file in use.
std::string LoadLanguageText(std::string_view section, std::string_view key);
