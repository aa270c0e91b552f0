#pragma once

#include <cstdint>

// Per-command times of a transaction: how long RTS stays raised for the
// request, then how long the answer window lasts before the answer is judged.
// The values are fixed per command, tuned on real modems, not computed.
class CommandTiming {
public:
    // 0 for a command without an entry.
    static unsigned TransmitTime(std::uint8_t command);
    static unsigned AnswerTime(std::uint8_t command);
};
