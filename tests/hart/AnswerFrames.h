#pragma once

#include <bit>
#include <cstdint>
#include <vector>

// Answer frames as a transmitter sends them, built independently of the code
// under test so the tests check the parser against the wire layout.
struct AnswerSpec {
    std::uint8_t command = 1;
    std::vector<std::uint8_t> data{}; // after the two status bytes
    bool longAddress = true;          // delimiter 0x86 with 5 address bytes, else 0x06
    std::uint8_t shortAddress = 0x80; // address byte of a short answer
    std::size_t preambles = 5;
    std::uint8_t responseCode = 0;
    std::uint8_t deviceStatus = 0;
};

inline std::vector<std::uint8_t> MakeAnswer(const AnswerSpec& spec) {
    std::vector<std::uint8_t> frame(spec.preambles, 0xFF);
    const std::size_t delimiterAt = frame.size();
    if (spec.longAddress) {
        frame.insert(frame.end(), {0x86, 0x91, 0x04, 0x01, 0x02, 0x03});
    } else {
        frame.insert(frame.end(), {0x06, spec.shortAddress});
    }
    frame.push_back(spec.command);
    frame.push_back(static_cast<std::uint8_t>(spec.data.size() + 2));
    frame.push_back(spec.responseCode);
    frame.push_back(spec.deviceStatus);
    frame.insert(frame.end(), spec.data.begin(), spec.data.end());
    std::uint8_t checksum = 0;
    for (std::size_t i = delimiterAt; i < frame.size(); ++i) {
        checksum ^= frame[i];
    }
    frame.push_back(checksum);
    return frame;
}

inline std::vector<std::uint8_t> Float(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
            static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
}

inline std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> joined;
    for (const auto& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}
