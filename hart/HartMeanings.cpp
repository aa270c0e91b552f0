#include "hart/HartMeanings.h"

namespace {

struct CodeMeaning {
    std::uint8_t code;
    std::uint8_t command; // 0: any command
    Meaning meaning;
};

// Codes 8..15 mean something only for the command that defines them.
constexpr CodeMeaning kResponseCodes[] = {
    {2, 0, {"strRcInvalidSelection", "invalid selection"}},
    {3, 0, {"strRcTooLarge", "parameter too large"}},
    {4, 0, {"strRcTooSmall", "parameter too small"}},
    {5, 0, {"strRcTooFewBytes", "too few data bytes"}},
    {6, 0, {"strRcDeviceError", "device-specific command error"}},
    {7, 0, {"strRcWriteProtect", "in write-protect mode"}},
    {16, 0, {"strRcAccessRestricted", "access restricted"}},
    {32, 0, {"strRcBusy", "busy"}},
    {64, 0, {"strRcNotImplemented", "command not implemented"}},
    {9, 35, {"strRcLrvTooHigh", "lower range value too high"}},
    {10, 35, {"strRcLrvTooLow", "lower range value too low"}},
    {11, 35, {"strRcUrvTooHigh", "upper range value too high"}},
    {12, 35, {"strRcUrvTooLow", "upper range value too low"}},
    {13, 35, {"strRcBothOutOfLimits", "both range values out of limits"}},
    {14, 35, {"strRcSpanTooSmall", "span too small"}},
    {9, 36, {"strRcProcessTooHigh", "applied process too high"}},
    {10, 36, {"strRcProcessTooLow", "applied process too low"}},
    {14, 36, {"strRcSpanTooSmall", "span too small"}},
    {9, 37, {"strRcProcessTooHigh", "applied process too high"}},
    {10, 37, {"strRcProcessTooLow", "applied process too low"}},
    {14, 37, {"strRcSpanTooSmall", "span too small"}},
};

struct BitMeaning {
    std::uint8_t bit;
    Meaning meaning;
};

constexpr BitMeaning kCommunicationErrors[] = {
    {0x40, {"strCeParity", "parity error"}},
    {0x20, {"strCeOverrun", "overrun error"}},
    {0x10, {"strCeFraming", "framing error"}},
    {0x08, {"strCeChecksum", "checksum error"}},
    {0x02, {"strCeBufferOverflow", "receive buffer overflow"}},
};

constexpr BitMeaning kStatusBits[] = {
    {0x80, {"strDsMalfunction", "field device malfunction"}},
    {0x40, {"strDsConfigChanged", "configuration changed"}},
    {0x20, {"strDsColdStart", "cold start"}},
    {0x10, {"strDsMoreStatus", "more status available"}},
    {0x08, {"strDsCurrentFixed", "loop current fixed"}},
    {0x04, {"strDsCurrentSaturated", "loop current saturated"}},
    {0x02, {"strDsNonPvOutOfLimits", "non-primary variable out of limits"}},
    {0x01, {"strDsPvOutOfLimits", "primary variable out of limits"}},
};

template <std::size_t N>
std::vector<Meaning> BitsSet(const BitMeaning (&table)[N], std::uint8_t byte) {
    std::vector<Meaning> set;
    for (const BitMeaning& entry : table) {
        if ((byte & entry.bit) != 0) {
            set.push_back(entry.meaning);
        }
    }
    return set;
}

} // namespace

const Meaning* HartMeanings::ResponseCode(std::uint8_t command, std::uint8_t code) {
    const bool commandSpecific = code >= 8 && code <= 15;
    for (const CodeMeaning& entry : kResponseCodes) {
        if (entry.code == code && entry.command == (commandSpecific ? command : 0)) {
            return &entry.meaning;
        }
    }
    return nullptr;
}

std::vector<Meaning> HartMeanings::CommunicationErrors(std::uint8_t firstStatusByte) {
    return BitsSet(kCommunicationErrors, firstStatusByte);
}

std::vector<Meaning> HartMeanings::DeviceStatus(std::uint8_t status) {
    return BitsSet(kStatusBits, status);
}

std::vector<Meaning> HartMeanings::All() {
    std::vector<Meaning> all{kNoAnswer,     kRejected,  kRefused,      kCommunicationError,
                             kDeviceStatus, kCancelled, kPortLost,     kNotSent,
                             kGarbled,      kChecksum,  kOtherCommand, kByteCount,
                             kOtherAddress, kNoDecoder};
    auto add = [&all](const Meaning& meaning) {
        for (const Meaning& present : all) {
            if (present.key == meaning.key) {
                return;
            }
        }
        all.push_back(meaning);
    };
    for (const CodeMeaning& entry : kResponseCodes) {
        add(entry.meaning);
    }
    for (const BitMeaning& entry : kCommunicationErrors) {
        add(entry.meaning);
    }
    for (const BitMeaning& entry : kStatusBits) {
        add(entry.meaning);
    }
    return all;
}
