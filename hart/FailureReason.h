#pragma once

#include "hart/HartMeanings.h"
#include "hart/TransactionResult.h"

#include <cstdint>
#include <functional>
#include <string>

// Says in one line why a transaction failed ("the transmitter refused command
// 16: response code 64, command not implemented"), in the words a lookup
// gives: the window's language file, or English where the command-line tool
// and the trace have no language text.
class FailureReason {
public:
    // The text for a meaning; "" when there is none.
    using Lookup = std::function<std::string(const Meaning&)>;
    static std::string English(const Meaning& meaning) { return std::string(meaning.english); }

    // "" for a success, and when the lookup has no text for the sentence itself
    // (a language file without these keys shows its message as it always did).
    // A detail without its own text is given in English.
    static std::string Describe(const TransactionResult& result, const Lookup& lookup);
    // The device status bits set, in words, joined by ", "; "" for none.
    static std::string DeviceStatusWords(std::uint8_t status, const Lookup& lookup);
};
