#pragma once

#include "hart/HartMeanings.h"

#include <string>
#include <string_view>

// Message texts for the user: the language file's text of the key (section
// "String"), or built-in English wording when the file has none, so that no
// message comes out blank.
class MessageText {
public:
    static std::string Get(std::string_view key);
    static std::string English(std::string_view key);
    // A transaction's meaning: the language file's text, or its English wording.
    static std::string Of(const Meaning& meaning);
};
