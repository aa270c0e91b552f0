#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// One text the tool says about a transaction: its key in section "String" of
// the language files and its English wording, which the command-line tool and
// the frame trace fall back on.
struct Meaning {
    std::string_view key;
    std::string_view english;
};

// What the status bytes of an answer mean, and the sentences that explain a
// failed transaction. Widgets and the command-line tool read them from here.
class HartMeanings {
public:
    // The first status byte with bit 7 set reports a communication error the
    // transmitter saw in the request, bit by bit, instead of a response code.
    static bool IsCommunicationError(std::uint8_t firstStatusByte) {
        return (firstStatusByte & 0x80) != 0;
    }
    // The meaning of response code (below 128) to command; null for a code
    // that has none for this command and is shown by its number.
    static const Meaning* ResponseCode(std::uint8_t command, std::uint8_t code);
    // The bits set in a communication-error byte, highest first.
    static std::vector<Meaning> CommunicationErrors(std::uint8_t firstStatusByte);
    // The bits set in the device status byte, highest first.
    static std::vector<Meaning> DeviceStatus(std::uint8_t status);

    // The sentences of FailureReason.
    static constexpr Meaning kNoAnswer{"strWhyNoAnswer",
                                       "the transmitter did not answer command %1"};
    static constexpr Meaning kRejected{"strWhyRejected",
                                       "the answer to command %1 was rejected: %2"};
    static constexpr Meaning kRefused{"strWhyRefused",
                                      "the transmitter refused command %1: response code %2"};
    static constexpr Meaning kCommunicationError{"strWhyCommError",
                                                 "the transmitter received command %1 garbled: %2"};
    static constexpr Meaning kDeviceStatus{"strWhyStatus", "device status: %2"};
    static constexpr Meaning kCancelled{"strWhyCancelled", "the operation was stopped"};
    static constexpr Meaning kPortLost{"strWhyPortLost",
                                       "the serial port went away: check the modem's connection"};
    static constexpr Meaning kNotSent{"strWhyNotSent", "command %1 cannot be sent by this tool"};
    // What was wrong with a rejected answer; %3 is the command it answers, %4
    // its byte count, %5 the byte count expected.
    static constexpr Meaning kGarbled{"strRejGarbled", "incomplete or unreadable frame"};
    static constexpr Meaning kChecksum{"strRejChecksum", "checksum error"};
    static constexpr Meaning kOtherCommand{"strRejOtherCommand", "it answers command %3"};
    static constexpr Meaning kByteCount{"strRejByteCount", "byte count %4 where %5 is expected"};
    static constexpr Meaning kOtherAddress{"strRejOtherAddress",
                                           "it comes from another polling address"};
    static constexpr Meaning kNoDecoder{"strRejNoDecoder",
                                        "the tool takes no answer to this command"};

    // Every text above and in the tables, for the language files to carry.
    static std::vector<Meaning> All();
};
