#pragma once

#include "hart/DeviceRecord.h"
#include "hart/TransactionResult.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// What each command puts into its request and takes from its answer. Requests
// are built from DeviceRecord fields; answers are tested for their byte count
// before anything is stored, so a rejected answer leaves the record untouched.
class HartCommandSet {
public:
    // The largest request data, command 192's, is 35 bytes.
    static constexpr std::size_t kMaxRequestData = 35;

    // Request data of one command, bounds-checked: a Put beyond the capacity
    // is dropped (no command comes near it).
    class Request {
    public:
        void Put(std::uint8_t byte);
        void Put(std::span<const std::uint8_t> bytes);
        void PutFloat(float value);
        std::span<const std::uint8_t> Data() const { return {m_Bytes.data(), m_nSize}; }

    private:
        std::array<std::uint8_t, kMaxRequestData> m_Bytes{};
        std::size_t m_nSize = 0;
    };

    // True for every command number the tool can send.
    static bool IsKnownCommand(std::uint8_t command);

    // Fills request with the data of a long-frame command. Packing commands
    // upper-case the record's texts in place, as the transmitter will store
    // them. False for command 0 (short frame, no data) and unknown commands.
    static bool BuildRequestData(std::uint8_t command, DeviceRecord& record, Request& request);

    // Decodes an accepted answer to command into record. answerFrame holds the
    // frame from its delimiter on; byteCount is its byte-count field. Command 0
    // reads the short-address layout, every other command the long one.
    // Rejection::None when stored; otherwise why nothing was stored.
    static Rejection DecodeAnswer(std::uint8_t command,
                                  std::span<const std::uint8_t, 60> answerFrame,
                                  std::uint8_t byteCount, DeviceRecord& record);
};
