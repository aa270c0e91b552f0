#pragma once

#include "hart/TransactionResult.h"

#include <cstdint>
#include <span>
#include <string>

// The lines of the frame trace: each request and each answer as it happens,
// with the time, the decoded header, the status bytes in words and the raw
// bytes, so a failing loop can be read off a terminal.
class FrameTrace {
public:
    // "  1234 ms TX 82 91 04 01 02 03 cmd 1 (read primary variable) bc 0 #1 | FF .."
    static std::string Request(std::uint64_t ms, std::span<const std::uint8_t> frame, int attempt);
    // An answer the parser judged: frame runs from its delimiter through its
    // checksum, received is everything that arrived in the attempt.
    static std::string Answer(std::uint64_t ms, std::span<const std::uint8_t> frame,
                              std::span<const std::uint8_t> received,
                              const TransactionResult& verdict);
    // The answer window ended without a judged frame: no bytes at all, or
    // bytes that held none (received).
    static std::string Silence(std::uint64_t ms, std::uint8_t command,
                               std::span<const std::uint8_t> received, int attempt);

    static std::string Hex(std::span<const std::uint8_t> bytes);
};
