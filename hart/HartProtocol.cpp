#include "hart/HartProtocol.h"

#include "hart/CommandTable.h"
#include "hart/FrameTrace.h"
#include "hart/HartCommandSet.h"
#include "hart/Sequence.h"
#include "hart/SerialConnection.h"
#include "platform/DebugTrace.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::uint8_t kPreamble = 0xFF;
constexpr std::uint8_t kShortRequestDelimiter = 0x02;
constexpr std::uint8_t kLongRequestDelimiter = 0x82;
constexpr std::uint8_t kShortAnswerDelimiter = 0x06;
constexpr std::uint8_t kLongAnswerDelimiter = 0x86;
// An answer is looked for only this far into the received bytes.
constexpr std::size_t kLastDelimiterIndex = 39;
constexpr std::size_t kMinimumAnswerBytes = 16;

} // namespace

void HartProtocol::BeginLongFrame() {
    std::fill_n(m_TxFrame.begin(), kPreambleCount, kPreamble);
    m_TxFrame[10] = kLongRequestDelimiter;
    std::copy(m_Device.longAddress.begin(), m_Device.longAddress.end(), m_TxFrame.begin() + 11);
}

void HartProtocol::FinishFrame(std::size_t endOffset) {
    if (endOffset + 3 > m_TxFrame.size()) {
        m_nFrameLength = 0;
        return;
    }
    std::uint8_t checksum = 0;
    for (std::size_t i = kPreambleCount; i < endOffset; ++i) {
        checksum ^= m_TxFrame[i];
    }
    m_TxFrame[endOffset] = checksum;
    m_TxFrame[endOffset + 1] = kPreamble;
    m_TxFrame[endOffset + 2] = kPreamble;
    m_nFrameLength = endOffset + 3;
}

bool HartProtocol::PrepareRequest(std::uint8_t command) {
    m_nCommandSent = command;
    if (command == 0) {
        std::fill_n(m_TxFrame.begin(), kPreambleCount, kPreamble);
        m_TxFrame[10] = kShortRequestDelimiter;
        m_TxFrame[11] = static_cast<std::uint8_t>(m_Device.pollingAddress + 0x80);
        m_TxFrame[12] = 0;
        m_TxFrame[13] = 0;
        FinishFrame(14);
        return true;
    }
    HartCommandSet::Request request;
    if (!HartCommandSet::BuildRequestData(command, m_Device, request)) {
        m_nFrameLength = 0;
        return false;
    }
    const auto data = request.Data();
    BeginLongFrame();
    m_TxFrame[16] = command;
    m_TxFrame[17] = static_cast<std::uint8_t>(data.size());
    std::copy(data.begin(), data.end(), m_TxFrame.begin() + 18);
    FinishFrame(18 + data.size());
    return true;
}

bool HartProtocol::ParseAnswer(std::span<const std::uint8_t> received) {
    // Fewer than sixteen bytes are never an answer that is taken. Only a
    // refusal is told apart among them: a refusing transmitter often sends no
    // more than its two status bytes.
    const bool tooShort = received.size() < kMinimumAnswerBytes;
    FrameBuffer bytes{};
    const std::size_t count = std::min(received.size(), bytes.size());
    std::copy_n(received.begin(), count, bytes.begin());

    // Skip to the first preamble among the first ten bytes, then take the first
    // delimiter after it. Only that one is tried: a frame that fails is not
    // searched for again further on.
    std::size_t start = kPreambleCount;
    for (std::size_t i = 0; i < kPreambleCount; ++i) {
        if (bytes[i] == kPreamble) {
            start = i;
            break;
        }
    }
    const std::size_t searchEnd = std::min(kLastDelimiterIndex + 1, count);
    std::size_t delimiter = searchEnd;
    for (std::size_t i = start; i < searchEnd; ++i) {
        if (bytes[i] == kShortAnswerDelimiter || bytes[i] == kLongAnswerDelimiter) {
            delimiter = i;
            break;
        }
    }
    if (delimiter == searchEnd) {
        return false;
    }

    const std::size_t addressLength = bytes[delimiter] == kShortAnswerDelimiter ? 1 : 5;
    const std::size_t commandIndex = delimiter + 1 + addressLength;
    const std::size_t responseCodeIndex = commandIndex + 2;
    if (responseCodeIndex >= count) {
        return false; // not complete yet
    }
    const std::uint8_t answerCommand = bytes[commandIndex];
    const std::uint8_t byteCount = bytes[commandIndex + 1];
    const std::uint8_t responseCode = bytes[responseCodeIndex];
    if (tooShort && responseCode == 0) {
        return false;
    }
    if (!tooShort) {
        m_nAnswerCommand = answerCommand;
        m_nAnswerByteCount = byteCount;
    }
    const std::size_t length = byteCount + addressLength + 4;
    if (delimiter + length > count) {
        return false; // not complete yet
    }
    std::uint8_t checksum = 0;
    for (std::size_t i = delimiter; i < delimiter + length; ++i) {
        checksum ^= bytes[i];
    }
    if (tooShort && (checksum != 0 || byteCount < 2)) {
        return false;
    }
    m_nVerdictFrameStart = delimiter;
    m_nVerdictFrameLength = length;
    m_Verdict.answerCommand = answerCommand;
    m_Verdict.answerByteCount = byteCount;
    m_Verdict.responseCode = responseCode;
    m_Verdict.deviceStatus = bytes[responseCodeIndex + 1];
    if (checksum != 0) {
        m_Verdict.kind = TransactionResult::Kind::Rejected;
        m_Verdict.rejection = Rejection::Checksum;
        return false;
    }
    if (responseCode != 0) {
        // A well-formed frame with a non-zero response code is the
        // transmitter's refusal, however short; without its two status bytes
        // it is no frame at all. Either way it is not taken.
        const bool refusal = byteCount >= 2;
        m_Verdict.kind =
            refusal ? TransactionResult::Kind::Refused : TransactionResult::Kind::Rejected;
        m_Verdict.rejection = refusal ? Rejection::None : Rejection::Garbled;
        return false;
    }

    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(delimiter), length,
                m_AnswerFrame.begin());
    for (std::size_t i = length; i <= kLastDelimiterIndex; ++i) {
        m_AnswerFrame[i] = 0;
    }
    m_bAwaiting = false;
    return DecodeAnswer();
}

bool HartProtocol::DecodeAnswer() {
    const Rejection rejection = m_nAnswerCommand != m_nCommandSent
                                    ? Rejection::OtherCommand
                                    : HartCommandSet::DecodeAnswer(m_nCommandSent, m_AnswerFrame,
                                                                   m_nAnswerByteCount, m_Device);
    m_Verdict.kind = rejection == Rejection::None ? TransactionResult::Kind::Success
                                                  : TransactionResult::Kind::Rejected;
    m_Verdict.rejection = rejection;
    return rejection == Rejection::None;
}

TransactionResult HartProtocol::AttemptVerdict() const {
    const std::lock_guard lock(m_Lock);
    return m_Verdict;
}

// --- Port ---

HartProtocol::HartProtocol() : m_LinkOpener(SerialConnection::Open) {
    s_pInstance = this;
}

HartProtocol::~HartProtocol() {
    KillTimer();
    ClosePort();
    if (s_pInstance == this) {
        s_pInstance = nullptr;
    }
}

bool HartProtocol::OpenPort(int n) {
    ClosePort();
    if (m_LinkOpener && n >= 1) {
        m_pLink = m_LinkOpener(
            n, [this](std::span<const std::uint8_t> bytes) { OnBytesReceived(bytes); });
    }
    return m_pLink != nullptr;
}

bool HartProtocol::EnsureOpen() {
    if (m_pLink != nullptr && !m_pLink->IsLost()) {
        return true;
    }
    return OpenPort(m_nPortNumber);
}

void HartProtocol::ClosePort() {
    // Destroying the link stops and joins its reader thread before the port
    // is closed, so no delivery can run over a closed port or a dead object.
    m_pLink.reset();
}

// --- Transactions ---

bool HartProtocol::Awaiting() const {
    const std::lock_guard lock(m_Lock);
    return m_bAwaiting;
}

void HartProtocol::StartTimer(unsigned milliseconds) {
    KillTimer();
    if (TimerService* timers = TimerService::Current()) {
        m_TimerId = timers->StartOneShot(milliseconds, [this] {
            m_TimerId.reset();
            OnTransactionTimer();
        });
    }
}

void HartProtocol::KillTimer() {
    if (m_TimerId && TimerService::Current() != nullptr) {
        TimerService::Current()->Kill(*m_TimerId);
    }
    m_TimerId.reset();
}

void HartProtocol::StartTransaction(void* userData, CompletionRoutine routine,
                                    std::uint8_t command) {
    // Only one transaction is ever in flight: a timer left from an abandoned
    // one must not drive this one.
    KillTimer();
    ++m_nTransaction;
    m_pUserData = userData;
    m_pRoutine = routine;
    m_nRetryCount = 0;
    m_Result = TransactionResult{};
    m_Result.command = command;
    {
        const std::lock_guard lock(m_Lock);
        m_bAwaiting = false;
        // An earlier transaction's accepted answer must not count for this one.
        m_bAnswerComplete = false;
        m_Verdict = m_Result;
        if (!PrepareRequest(command)) {
            m_nFrameLength = 0;
            m_Verdict.kind = TransactionResult::Kind::NotSent;
        }
    }
    if (m_nFrameLength == 0) {
        // Nothing can be sent for this command: it fails on the timer as
        // always, without retries.
        m_State = State::AwaitingAnswer;
        m_nRetryCount = kMaxRetries;
        StartTimer(0);
        return;
    }
    SendFrame();
}

void HartProtocol::SendFrame() {
    if (m_pLink != nullptr) {
        m_pLink->RaiseRts();
    }
    ++m_Result.attempts;
    {
        const std::lock_guard lock(m_Lock);
        m_nReceived = 0;
        m_bAnswerComplete = false;
        m_bAwaiting = true;
        m_Verdict = TransactionResult{};
        m_Verdict.command = m_nCommandSent;
        m_bVerdictTraced = false;
    }
    m_State = State::Transmitting;
    StartTimer(CommandTable::Of(m_nCommandSent).transmitTime);
    if (m_bTrace) {
        DebugTrace("%s", FrameTrace::Request(TraceTime(), {m_TxFrame.data(), m_nFrameLength},
                                             m_Result.attempts)
                             .c_str());
    }
    if (m_pLink != nullptr) {
        m_pLink->Write({m_TxFrame.data(), m_nFrameLength});
    }
}

std::string HartProtocol::TraceAnswer() const {
    const std::span<const std::uint8_t> received(m_RxBuffer.data(), m_nReceived);
    const std::size_t start = std::min(m_nVerdictFrameStart, received.size());
    const std::size_t length = std::min(m_nVerdictFrameLength, received.size() - start);
    return FrameTrace::Answer(TraceTime(), received.subspan(start, length), received, m_Verdict);
}

std::uint64_t HartProtocol::TraceTime() const {
    const TimerService* timers = TimerService::Current();
    return timers != nullptr ? timers->NowMs() : 0;
}

void HartProtocol::Abandon() {
    {
        const std::lock_guard lock(m_Lock);
        m_bAwaiting = false;
    }
    m_State = State::Idle;
    if (m_pLink != nullptr) {
        m_pLink->LowerRts();
    }
}

void HartProtocol::CancelTransaction() {
    KillTimer();
    ++m_nTransaction;
    if (m_State != State::Idle) {
        m_Result.kind = TransactionResult::Kind::Cancelled;
    }
    Abandon();
}

TransactionResult HartProtocol::JudgeAttempt(bool complete) {
    TransactionResult verdict;
    std::size_t received = 0;
    bool traced = true;
    FrameBuffer bytes{};
    {
        const std::lock_guard lock(m_Lock);
        verdict = m_Verdict;
        received = m_nReceived;
        traced = m_bVerdictTraced;
        m_bVerdictTraced = true;
        bytes = m_RxBuffer;
    }
    if (complete) {
        verdict.kind = TransactionResult::Kind::Success;
    } else if (verdict.kind == TransactionResult::Kind::NoAnswer) {
        if (m_pLink != nullptr && m_pLink->IsLost()) {
            verdict.kind = TransactionResult::Kind::PortLost;
        } else if (received > 0) {
            verdict.kind = TransactionResult::Kind::Rejected;
            verdict.rejection = Rejection::Garbled;
        }
    }
    if (m_bTrace && !traced) {
        DebugTrace("%s", FrameTrace::Silence(TraceTime(), m_nCommandSent, {bytes.data(), received},
                                             m_Result.attempts)
                             .c_str());
    }
    verdict.command = m_nCommandSent;
    verdict.attempts = m_Result.attempts;
    return verdict;
}

void HartProtocol::OnTransactionTimer() {
    if (CancelFlag) {
        m_Result.kind = TransactionResult::Kind::Cancelled;
        Abandon();
        return;
    }
    if (m_State == State::Transmitting) {
        m_State = State::AwaitingAnswer;
        StartTimer(CommandTable::Of(m_nCommandSent).answerTime);
        if (m_pLink != nullptr) {
            m_pLink->LowerRts();
        }
        return;
    }
    if (m_State != State::AwaitingAnswer) {
        return;
    }

    bool complete = false;
    std::uint8_t answerCommand = m_nCommandSent;
    {
        const std::lock_guard lock(m_Lock);
        complete = m_bAnswerComplete;
        if (complete) {
            answerCommand = m_nAnswerCommand;
        }
    }
    m_Result = JudgeAttempt(complete);
    if (!complete && m_nRetryCount++ < kMaxRetries) {
        if (m_nCommandSent == 0) {
            const std::uint64_t transaction = m_nTransaction;
            if (TimerService* timers = TimerService::Current()) {
                timers->WaitWithMessages(kCommandZeroRetryPause);
            }
            // Events ran during the pause: Stop, or a new transaction, ends this one.
            if (transaction != m_nTransaction) {
                return;
            }
            if (CancelFlag) {
                m_Result.kind = TransactionResult::Kind::Cancelled;
                Abandon();
                return;
            }
        }
        SendFrame();
        return;
    }
    {
        const std::lock_guard lock(m_Lock);
        m_bAwaiting = false;
    }
    m_State = State::Idle;
    if (m_pRoutine != nullptr) {
        m_pRoutine(m_pUserData, complete ? 1 : 0, answerCommand);
    }
}

void HartProtocol::OnBytesReceived(std::span<const std::uint8_t> bytes) {
    std::string trace;
    {
        const std::lock_guard lock(m_Lock);
        if (!m_bAwaiting) {
            return;
        }
        const std::size_t take = std::min(bytes.size(), kMaxReceived - m_nReceived);
        std::copy_n(bytes.begin(), take,
                    m_RxBuffer.begin() + static_cast<std::ptrdiff_t>(m_nReceived));
        m_nReceived += take;
        m_bAnswerComplete = ParseAnswer({m_RxBuffer.data(), m_nReceived});
        if (m_bTrace && !m_bVerdictTraced && m_Verdict.kind != TransactionResult::Kind::NoAnswer) {
            m_bVerdictTraced = true;
            trace = TraceAnswer();
        }
    }
    // Written outside the lock: the user-interface thread may be waiting for it.
    if (!trace.empty()) {
        DebugTrace("%s", trace.c_str());
    }
}
