#include "hart/FrameTrace.h"

#include "hart/CommandTable.h"
#include "hart/FailureReason.h"
#include "hart/HartMeanings.h"

#include <cstdio>

namespace {

std::string Time(std::uint64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%7llu ms", static_cast<unsigned long long>(ms));
    return text;
}

std::string Byte(std::uint8_t byte) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::string Command(std::uint8_t command) {
    return "cmd " + std::to_string(command) + " (" + std::string(CommandTable::Of(command).name) +
           ")";
}

// Delimiter, address, command and byte count of a frame that starts at its
// delimiter; as much as the frame holds.
std::string Header(std::span<const std::uint8_t> frame) {
    if (frame.empty()) {
        return {};
    }
    const std::size_t addressLength = (frame[0] & 0x80) != 0 ? 5 : 1;
    std::string text = Byte(frame[0]);
    for (std::size_t i = 1; i <= addressLength && i < frame.size(); ++i) {
        text += " " + Byte(frame[i]);
    }
    if (frame.size() > addressLength + 2) {
        text += " " + Command(frame[addressLength + 1]) + " bc " +
                std::to_string(frame[addressLength + 2]);
    }
    return text;
}

std::string StatusWords(const TransactionResult& verdict) {
    const auto english = FailureReason::English;
    std::string text = "rc " + std::to_string(verdict.responseCode);
    if (HartMeanings::IsCommunicationError(verdict.responseCode)) {
        std::string bits;
        for (const Meaning& meaning : HartMeanings::CommunicationErrors(verdict.responseCode)) {
            bits += (bits.empty() ? "" : ", ") + english(meaning);
        }
        return text + " (communication error: " + bits + ")";
    }
    if (const Meaning* meaning =
            HartMeanings::ResponseCode(verdict.command, verdict.responseCode)) {
        text += " (" + english(*meaning) + ")";
    }
    text += " status " + Byte(verdict.deviceStatus);
    if (verdict.deviceStatus != 0) {
        text += " (" + FailureReason::DeviceStatusWords(verdict.deviceStatus, english) + ")";
    }
    return text;
}

} // namespace

std::string FrameTrace::Hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += (text.empty() ? "" : " ") + Byte(byte);
    }
    return text;
}

std::string FrameTrace::Request(std::uint64_t ms, std::span<const std::uint8_t> frame,
                                int attempt) {
    // The request's delimiter follows its preambles.
    std::size_t delimiter = 0;
    while (delimiter < frame.size() && frame[delimiter] == 0xFF) {
        ++delimiter;
    }
    return Time(ms) + " TX " + Header(frame.subspan(delimiter)) + " #" + std::to_string(attempt) +
           " | " + Hex(frame);
}

std::string FrameTrace::Answer(std::uint64_t ms, std::span<const std::uint8_t> frame,
                               std::span<const std::uint8_t> received,
                               const TransactionResult& verdict) {
    std::string text = Time(ms) + " RX " + Header(frame);
    switch (verdict.kind) {
    case TransactionResult::Kind::Success:
        text += " " + StatusWords(verdict) + " accepted";
        break;
    case TransactionResult::Kind::Refused:
        text += " " + StatusWords(verdict) + " refused";
        break;
    default: {
        // The reason as the rejection sentence gives it, without its head.
        std::string reason = FailureReason::Describe(verdict, FailureReason::English);
        if (const auto colon = reason.find(": "); colon != std::string::npos) {
            reason.erase(0, colon + 2);
        }
        text += " rejected: " + reason;
        break;
    }
    }
    return text + " | " + Hex(received);
}

std::string FrameTrace::Silence(std::uint64_t ms, std::uint8_t command,
                                std::span<const std::uint8_t> received, int attempt) {
    std::string text = Time(ms) + " -- ";
    if (received.empty()) {
        return text + "no answer to " + Command(command) + " #" + std::to_string(attempt);
    }
    return text + std::to_string(received.size()) + " bytes without a complete answer to " +
           Command(command) + " #" + std::to_string(attempt) + " | " + Hex(received);
}
