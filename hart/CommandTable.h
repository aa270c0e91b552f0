#pragma once

#include <cstdint>
#include <string_view>

// The facts of one command number, in one row that the request builder, the
// decoders, the engine's timing and the frame trace all read.
struct CommandInfo {
    // Answer byte counts that are not a number to test against.
    static constexpr int kAnyLength = -1;     // accepted whatever its byte count (0 and 15)
    static constexpr int kNeverAccepted = -2; // sent, but no answer is ever taken

    std::uint8_t number = 0;
    std::string_view name;
    // False for numbers the tool cannot send: they build no request.
    bool sendable = false;
    // Data bytes of the request (0 for the short command-0 frame).
    int requestBytes = 0;
    // The byte count an accepted answer must carry, status bytes included.
    int answerBytes = kNeverAccepted;
    // How long RTS stays raised for the request, then how long the answer
    // window lasts before the answer is judged, in milliseconds. Fixed per
    // command, tuned on real modems, not computed.
    unsigned transmitTime = 0;
    unsigned answerTime = 0;
};

class CommandTable {
public:
    // The row of command; an unknown number gets a row with only its number,
    // "unknown command" as name, not sendable and no times.
    static const CommandInfo& Of(std::uint8_t command);
};
