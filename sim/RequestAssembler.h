#pragma once

#include "sim/RequestFrame.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Collects the bytes the master sends, in whatever chunks they arrive, and
// cuts complete request frames out of them. Bytes that cannot start a frame
// are skipped; a frame whose checksum fails is dropped and the search goes on
// right after its delimiter, so a real frame hidden behind a stray delimiter
// byte is still found.
class RequestAssembler {
public:
    struct Result {
        std::vector<RequestFrame> m_frames;
        // Complete frames dropped for a bad checksum.
        std::size_t m_badChecksums = 0;
    };

    Result Feed(std::span<const std::uint8_t> bytes);

    // Forgets a partial frame, e.g. after a long silence on the line.
    void Reset() { m_pending.clear(); }
    std::size_t PendingBytes() const { return m_pending.size(); }

    // Longest possible request: delimiter, five address bytes, command, byte
    // count, 255 data bytes, checksum.
    static constexpr std::size_t kMaxFrame = 1 + 5 + 2 + 255 + 1;

private:
    enum class Candidate { Incomplete, BadChecksum, Valid };

    Candidate Examine(std::size_t start, RequestFrame* frame, std::size_t* length) const;
    std::optional<std::size_t> NextDelimiter(std::size_t from) const;

    std::vector<std::uint8_t> m_pending;
};
