#pragma once

#include "hart/DeviceRecord.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

// The one protocol object: the frame buffers, the device record and the
// framing rules. It builds each request into TxFrame and judges received bytes
// for an answer that it checks and decodes into the record. The port, the
// reader thread and the transaction engine build on these members.
class HartProtocol {
public:
    static constexpr std::size_t kFrameBufferSize = 60;
    static constexpr std::size_t kMaxReceived = 59;
    static constexpr std::size_t kPreambleCount = 10;
    using FrameBuffer = std::array<std::uint8_t, kFrameBufferSize>;

    HartProtocol() = default;
    virtual ~HartProtocol() = default;
    HartProtocol(const HartProtocol&) = delete;
    HartProtocol& operator=(const HartProtocol&) = delete;

    // Builds the request for command into TxFrame and makes it the command
    // whose answer is awaited. False, with a frame length of 0, for a command
    // the tool does not know.
    bool PrepareRequest(std::uint8_t command);

    // Ten preambles, delimiter 0x82 and the long address (TxFrame 0..15).
    void BeginLongFrame();
    // Checksum at endOffset (the offset after the last data byte), two trailer
    // bytes, and the frame length.
    void FinishFrame(std::size_t endOffset);

    // Judges the bytes received since the request was sent (only the first
    // kFrameBufferSize are looked at). True when an answer was found, checked,
    // and decoded into the record; false while it is incomplete or when it was
    // rejected.
    bool ParseAnswer(std::span<const std::uint8_t> received);

    // Decodes AnswerFrame into the record when it answers the command sent.
    bool DecodeAnswer();

    const FrameBuffer& TxFrame() const { return m_TxFrame; }
    std::size_t FrameLength() const { return m_nFrameLength; }
    const FrameBuffer& AnswerFrame() const { return m_AnswerFrame; }
    std::uint8_t AnswerCommand() const { return m_nAnswerCommand; }
    std::uint8_t AnswerByteCount() const { return m_nAnswerByteCount; }
    std::uint8_t CommandSent() const { return m_nCommandSent; }
    bool Awaiting() const { return m_bAwaiting.load(); }

    DeviceRecord& Device() { return m_Device; }
    const DeviceRecord& Device() const { return m_Device; }

protected:
    FrameBuffer m_TxFrame{};
    std::size_t m_nFrameLength = 0;
    FrameBuffer m_RxBuffer{};
    std::size_t m_nReceived = 0;
    FrameBuffer m_AnswerFrame{};
    std::uint8_t m_nAnswerCommand = 0;
    std::uint8_t m_nAnswerByteCount = 0;
    std::uint8_t m_nCommandSent = 0;
    // Set while received bytes are accepted for the transaction in flight;
    // cleared by the parser as soon as it accepts a frame.
    std::atomic<bool> m_bAwaiting{false};
    DeviceRecord m_Device;
};
