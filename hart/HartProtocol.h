#pragma once

#include "hart/DeviceRecord.h"
#include "hart/SerialLink.h"
#include "hart/TransactionResult.h"
#include "platform/TimerService.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

// The one protocol object: the serial link, the frame buffers, the device
// record and the transaction engine. It builds each request into TxFrame,
// keys the modem for the command's transmit time, waits the command's answer
// window and judges what arrived, retrying up to five times.
//
// Two threads meet here. The user-interface thread starts transactions and
// runs the timers and completion routines; the link's reader thread delivers
// received bytes, which are parsed and decoded at once. m_Lock keeps the two
// apart: the reader writes the buffers and the record only while awaiting is
// set, and the timer's test of "answer complete" never interleaves with a
// parse.
class HartProtocol {
public:
    // Called once per transaction on the user-interface thread; success is 1
    // or 0, command the command of the accepted answer. LastResult() says why
    // a transaction failed.
    using CompletionRoutine = void (*)(void* userData, int success, std::uint8_t command);
    enum class State { Idle, Transmitting, AwaitingAnswer };
    static constexpr int kMaxRetries = 5;
    // Pause before each retry of command 0, while events keep flowing.
    static constexpr unsigned kCommandZeroRetryPause = 100;

    static constexpr std::size_t kFrameBufferSize = 60;
    static constexpr std::size_t kMaxReceived = 59;
    static constexpr std::size_t kPreambleCount = 10;
    using FrameBuffer = std::array<std::uint8_t, kFrameBufferSize>;

    HartProtocol();
    virtual ~HartProtocol();
    HartProtocol(const HartProtocol&) = delete;
    HartProtocol& operator=(const HartProtocol&) = delete;

    // The protocol object the sequence layer and the timers work with: the
    // one most recently constructed and still alive.
    static HartProtocol* Instance() { return s_pInstance; }

    // --- Port ---
    // How COM n is opened; by default the serial device with its reader thread.
    void SetLinkOpener(SerialLink::Opener opener) { m_LinkOpener = std::move(opener); }
    // 0 until a port is chosen: operations are then refused, not sent to COM1.
    int PortNumber() const { return m_nPortNumber; }
    void SetPortNumber(int n) { m_nPortNumber = n; }
    // False for port numbers below 1 without trying.
    bool OpenPort(int n);
    // Opens portNumber unless the port is open and still there.
    bool EnsureOpen();
    void ClosePort();
    bool IsOpen() const { return m_pLink != nullptr; }

    // --- Transactions (user-interface thread) ---
    void StartTransaction(void* userData, CompletionRoutine routine, std::uint8_t command);
    // Keys the modem, starts the transmit timer and sends TxFrame again.
    void SendFrame();
    void OnTransactionTimer();
    // Reader thread: appends a received chunk and parses the answer so far.
    void OnBytesReceived(std::span<const std::uint8_t> bytes);
    // Ends the transaction in flight at once, without a report: the timer is
    // killed, the modem unkeyed, and late bytes are no longer taken, so they
    // cannot write into the record while the next request is prepared.
    void CancelTransaction();
    State GetState() const { return m_State; }
    int RetryCount() const { return m_nRetryCount; }
    // How the last attempt of the last transaction ended; read it in the
    // completion routine or after it.
    const TransactionResult& LastResult() const { return m_Result; }

    // Writes every request and every answer judged to the debug trace as it
    // happens (calora-cli --trace, CALORA_TRACE=1 for the window).
    void SetFrameTrace(bool on) { m_bTrace = on; }

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
    // rejected. A complete frame's verdict (taken, rejected and why, refused
    // with its status bytes) is kept for the attempt: AttemptVerdict().
    bool ParseAnswer(std::span<const std::uint8_t> received);

    // Decodes AnswerFrame into the record when it answers the command sent.
    bool DecodeAnswer();
    // The verdict on the answer of the attempt in flight; kind NoAnswer while
    // no complete frame has been judged.
    TransactionResult AttemptVerdict() const;

    const FrameBuffer& TxFrame() const { return m_TxFrame; }
    std::size_t FrameLength() const { return m_nFrameLength; }
    const FrameBuffer& AnswerFrame() const { return m_AnswerFrame; }
    std::uint8_t AnswerCommand() const { return m_nAnswerCommand; }
    std::uint8_t AnswerByteCount() const { return m_nAnswerByteCount; }
    std::uint8_t CommandSent() const { return m_nCommandSent; }
    bool Awaiting() const;

    DeviceRecord& Device() { return m_Device; }
    const DeviceRecord& Device() const { return m_Device; }

protected:
    void StartTimer(unsigned milliseconds);
    void KillTimer();
    // Ends the transaction without a report: the modem is unkeyed and late
    // bytes are no longer taken.
    void Abandon();
    // The answer window ended: the attempt's outcome, traced when nothing
    // about it was traced yet.
    TransactionResult JudgeAttempt(bool complete);
    std::uint64_t TraceTime() const;
    // The trace line of the verdict just reached (m_Lock held).
    std::string TraceAnswer() const;

    inline static HartProtocol* s_pInstance = nullptr;

    SerialLink::Opener m_LinkOpener;
    std::unique_ptr<SerialLink> m_pLink;
    int m_nPortNumber = 0;

    void* m_pUserData = nullptr;
    CompletionRoutine m_pRoutine = nullptr;
    State m_State = State::Idle;
    int m_nRetryCount = 0;
    TransactionResult m_Result;
    bool m_bTrace = false;
    std::optional<TimerService::TimerId> m_TimerId;
    // Counts transactions, so a wait that dispatched events can tell whether
    // another transaction started meanwhile.
    std::uint64_t m_nTransaction = 0;

    mutable std::mutex m_Lock;
    bool m_bAnswerComplete = false;
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
    bool m_bAwaiting = false;
    // What the parser made of the attempt in flight, and whether the trace
    // has said so already.
    TransactionResult m_Verdict;
    bool m_bVerdictTraced = false;
    // Where the frame judged lies in the received bytes.
    std::size_t m_nVerdictFrameStart = 0;
    std::size_t m_nVerdictFrameLength = 0;
    DeviceRecord m_Device;
};
