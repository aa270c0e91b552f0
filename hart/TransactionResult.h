#pragma once

#include <cstdint>

// Why an answer that arrived was not taken.
enum class Rejection : std::uint8_t {
    None,
    Garbled,      // bytes came, but no complete frame among them
    Checksum,     // a frame whose checksum is wrong
    OtherCommand, // an answer to another command than the one sent
    ByteCount,    // the command's answer has another byte count
    OtherAddress, // a command-0 answer from another polling address
    NoDecoder,    // the tool takes no answer to this command
};

// How the last attempt of a transaction ended. The engine keeps it for the
// completion routine and the sequence layer to say why an operation failed.
struct TransactionResult {
    enum class Kind : std::uint8_t {
        Success,
        NoAnswer,
        Rejected,  // see rejection
        Refused,   // the transmitter answered with a non-zero response code
        Cancelled, // stopped by the user
        PortLost,  // the serial device went away
        NotSent,   // the tool cannot build a request for this command
    };

    Kind kind = Kind::NoAnswer;
    Rejection rejection = Rejection::None;
    std::uint8_t command = 0;       // the command sent
    std::uint8_t answerCommand = 0; // command byte of the answer examined
    std::uint8_t answerByteCount = 0;
    // The two status bytes of the answer examined (success or refusal).
    std::uint8_t responseCode = 0;
    std::uint8_t deviceStatus = 0;
    int attempts = 0; // frames sent, 1 to 6

    bool operator==(const TransactionResult&) const = default;
};
