#include "hart/HartProtocol.h"

#include "hart/CommandTiming.h"
#include "hart/HartCommandSet.h"
#include "hart/Sequence.h"
#include "hart/SerialConnection.h"

#include <algorithm>

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
    if (received.size() < kMinimumAnswerBytes) {
        return false;
    }
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
    m_nAnswerCommand = bytes[commandIndex];
    m_nAnswerByteCount = bytes[commandIndex + 1];
    if (bytes[responseCodeIndex] != 0) {
        return false;
    }
    const std::size_t length = m_nAnswerByteCount + addressLength + 4;
    if (delimiter + length > count) {
        return false; // not complete yet
    }
    std::uint8_t checksum = 0;
    for (std::size_t i = delimiter; i < delimiter + length; ++i) {
        checksum ^= bytes[i];
    }
    if (checksum != 0) {
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
    if (m_nAnswerCommand != m_nCommandSent) {
        return false;
    }
    return HartCommandSet::DecodeAnswer(m_nCommandSent, m_AnswerFrame, m_nAnswerByteCount,
                                        m_Device);
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
    if (m_LinkOpener) {
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
    {
        const std::lock_guard lock(m_Lock);
        m_bAwaiting = false;
        if (!PrepareRequest(command)) {
            m_nFrameLength = 0;
        }
    }
    if (m_nFrameLength == 0) {
        // Nothing can be sent for this command: it fails after its answer window
        // like a transaction that got no answer, on the timer as always.
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
    {
        const std::lock_guard lock(m_Lock);
        m_nReceived = 0;
        m_bAnswerComplete = false;
        m_bAwaiting = true;
    }
    m_State = State::Transmitting;
    StartTimer(CommandTiming::TransmitTime(m_nCommandSent));
    if (m_pLink != nullptr) {
        m_pLink->Write({m_TxFrame.data(), m_nFrameLength});
    }
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
    Abandon();
}

void HartProtocol::OnTransactionTimer() {
    if (CancelFlag) {
        Abandon();
        return;
    }
    if (m_State == State::Transmitting) {
        m_State = State::AwaitingAnswer;
        StartTimer(CommandTiming::AnswerTime(m_nCommandSent));
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
    const std::lock_guard lock(m_Lock);
    if (!m_bAwaiting) {
        return;
    }
    const std::size_t take = std::min(bytes.size(), kMaxReceived - m_nReceived);
    std::copy_n(bytes.begin(), take, m_RxBuffer.begin() + static_cast<std::ptrdiff_t>(m_nReceived));
    m_nReceived += take;
    m_bAnswerComplete = ParseAnswer({m_RxBuffer.data(), m_nReceived});
}
