#include "hart/FailureReason.h"

#include "hart/CommandTable.h"

#include <array>

namespace {

std::string TextOf(const Meaning& meaning, const FailureReason::Lookup& lookup) {
    std::string text = lookup(meaning);
    return text.empty() ? FailureReason::English(meaning) : text;
}

std::string Join(const std::vector<Meaning>& meanings, const FailureReason::Lookup& lookup) {
    std::string joined;
    for (const Meaning& meaning : meanings) {
        joined += (joined.empty() ? "" : ", ") + TextOf(meaning, lookup);
    }
    return joined;
}

// Replaces %1 .. %5 in text; other characters stay as they are.
std::string Fill(const std::string& text, const std::array<std::string, 5>& values) {
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '5') {
            filled += values[static_cast<std::size_t>(text[i + 1] - '1')];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

// What %1 .. %5 stand for.
std::array<std::string, 5> Values(const TransactionResult& result, const std::string& detail) {
    const int expected = CommandTable::Of(result.command).answerBytes;
    return {std::to_string(result.command), detail, std::to_string(result.answerCommand),
            std::to_string(result.answerByteCount),
            expected >= 0 ? std::to_string(expected) : std::string("none")};
}

const Meaning& RejectionMeaning(Rejection rejection) {
    switch (rejection) {
    case Rejection::Checksum:
        return HartMeanings::kChecksum;
    case Rejection::OtherCommand:
        return HartMeanings::kOtherCommand;
    case Rejection::ByteCount:
        return HartMeanings::kByteCount;
    case Rejection::OtherAddress:
        return HartMeanings::kOtherAddress;
    case Rejection::NoDecoder:
        return HartMeanings::kNoDecoder;
    case Rejection::None:
    case Rejection::Garbled:
        break;
    }
    return HartMeanings::kGarbled;
}

} // namespace

std::string FailureReason::DeviceStatusWords(std::uint8_t status, const Lookup& lookup) {
    return Join(HartMeanings::DeviceStatus(status), lookup);
}

std::string FailureReason::Describe(const TransactionResult& result, const Lookup& lookup) {
    using Kind = TransactionResult::Kind;
    const Meaning* sentence = nullptr;
    std::string detail;
    std::string suffix;
    switch (result.kind) {
    case Kind::Success:
        return {};
    case Kind::NoAnswer:
        sentence = &HartMeanings::kNoAnswer;
        break;
    case Kind::Rejected:
        sentence = &HartMeanings::kRejected;
        detail = Fill(TextOf(RejectionMeaning(result.rejection), lookup), Values(result, ""));
        break;
    case Kind::Refused:
        if (HartMeanings::IsCommunicationError(result.responseCode)) {
            sentence = &HartMeanings::kCommunicationError;
            detail = Join(HartMeanings::CommunicationErrors(result.responseCode), lookup);
            break;
        }
        sentence = &HartMeanings::kRefused;
        detail = std::to_string(result.responseCode);
        if (const Meaning* meaning =
                HartMeanings::ResponseCode(result.command, result.responseCode)) {
            detail += ", " + TextOf(*meaning, lookup);
        }
        if (result.deviceStatus != 0) {
            suffix = "; " + Fill(TextOf(HartMeanings::kDeviceStatus, lookup),
                                 {"", DeviceStatusWords(result.deviceStatus, lookup), "", "", ""});
        }
        break;
    case Kind::Cancelled:
        sentence = &HartMeanings::kCancelled;
        break;
    case Kind::PortLost:
        sentence = &HartMeanings::kPortLost;
        break;
    case Kind::NotSent:
        sentence = &HartMeanings::kNotSent;
        break;
    }
    const std::string text = lookup(*sentence);
    if (text.empty()) {
        return {};
    }
    return Fill(text, Values(result, detail)) + suffix;
}
