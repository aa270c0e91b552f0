#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

// The master's side of the wire, written for the tests from the frame
// layouts alone, so the simulator's codec is checked against an independent
// reading of them.
class WireFrames {
public:
    struct Answer {
        std::size_t m_noise = 0; // bytes before the first preamble
        std::size_t m_preambles = 0;
        bool m_longAddress = false;
        std::vector<std::uint8_t> m_address;
        std::uint8_t m_command = 0;
        std::uint8_t m_byteCount = 0;
        std::uint8_t m_responseCode = 0;
        std::uint8_t m_deviceStatus = 0;
        std::vector<std::uint8_t> m_data;
        bool m_checksumOk = false;
        std::size_t m_length = 0; // bytes consumed, noise and preambles included
    };

    static std::vector<std::uint8_t> ShortRequest(std::uint8_t pollingAddress,
                                                  std::uint8_t command = 0,
                                                  std::vector<std::uint8_t> data = {}) {
        std::vector<std::uint8_t> frame(5, 0xFF);
        frame.push_back(0x02);
        frame.push_back(static_cast<std::uint8_t>(0x80 | pollingAddress));
        return Finish(frame, command, data);
    }

    static std::vector<std::uint8_t> LongRequest(const std::array<std::uint8_t, 5>& address,
                                                 std::uint8_t command,
                                                 std::vector<std::uint8_t> data = {}) {
        std::vector<std::uint8_t> frame(5, 0xFF);
        frame.push_back(0x82);
        frame.insert(frame.end(), address.begin(), address.end());
        return Finish(frame, command, data);
    }

    // Parses one answer at the start of bytes; nullopt when it is not one.
    static std::optional<Answer> Parse(const std::vector<std::uint8_t>& bytes) {
        Answer answer;
        std::size_t i = 0;
        while (i < bytes.size() && bytes[i] != 0xFF) {
            ++i;
        }
        answer.m_noise = i;
        while (i < bytes.size() && bytes[i] == 0xFF) {
            ++i;
            ++answer.m_preambles;
        }
        if (i >= bytes.size() || (bytes[i] != 0x06 && bytes[i] != 0x86)) {
            return std::nullopt;
        }
        const std::size_t delimiter = i;
        answer.m_longAddress = bytes[i] == 0x86;
        const std::size_t addressLength = answer.m_longAddress ? 5 : 1;
        if (delimiter + 1 + addressLength + 4 > bytes.size()) {
            return std::nullopt;
        }
        answer.m_address.assign(bytes.begin() + static_cast<long>(delimiter + 1),
                                bytes.begin() + static_cast<long>(delimiter + 1 + addressLength));
        i = delimiter + 1 + addressLength;
        answer.m_command = bytes[i++];
        answer.m_byteCount = bytes[i++];
        const std::size_t end = i + answer.m_byteCount; // index of the checksum
        if (answer.m_byteCount < 2 || end >= bytes.size()) {
            return std::nullopt;
        }
        answer.m_responseCode = bytes[i];
        answer.m_deviceStatus = bytes[i + 1];
        answer.m_data.assign(bytes.begin() + static_cast<long>(i + 2),
                             bytes.begin() + static_cast<long>(end));
        std::uint8_t sum = 0;
        for (std::size_t k = delimiter; k <= end; ++k) {
            sum ^= bytes[k];
        }
        answer.m_checksumOk = sum == 0;
        answer.m_length = end + 1;
        return answer;
    }

    static float FloatAt(const std::vector<std::uint8_t>& data, std::size_t offset) {
        const std::uint32_t bits = (std::uint32_t{data.at(offset)} << 24) |
                                   (std::uint32_t{data.at(offset + 1)} << 16) |
                                   (std::uint32_t{data.at(offset + 2)} << 8) | data.at(offset + 3);
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    static std::vector<std::uint8_t> FloatBytes(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
                static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
    }

private:
    static std::vector<std::uint8_t> Finish(std::vector<std::uint8_t> frame, std::uint8_t command,
                                            const std::vector<std::uint8_t>& data) {
        frame.push_back(command);
        frame.push_back(static_cast<std::uint8_t>(data.size()));
        frame.insert(frame.end(), data.begin(), data.end());
        std::uint8_t sum = 0;
        for (std::size_t k = 5; k < frame.size(); ++k) {
            sum ^= frame[k];
        }
        frame.push_back(sum);
        frame.push_back(0xFF); // trailer, as the master sends it
        frame.push_back(0xFF);
        return frame;
    }
};
