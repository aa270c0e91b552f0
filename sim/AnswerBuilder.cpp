#include "sim/AnswerBuilder.h"

#include <algorithm>

std::vector<std::uint8_t> AnswerBuilder::Build(const RequestFrame& request,
                                               std::uint8_t responseCode, std::uint8_t deviceStatus,
                                               std::span<const std::uint8_t> data,
                                               std::size_t preambles) {
    // The byte count is one byte: at most 253 data bytes fit behind the two
    // status bytes.
    const std::size_t dataLength = std::min<std::size_t>(data.size(), 253);
    std::vector<std::uint8_t> frame(preambles, 0xFF);
    frame.push_back(request.m_longAddress ? 0x86 : 0x06);
    for (std::size_t k = 0; k < request.AddressLength(); ++k) {
        frame.push_back(request.m_address[k]);
    }
    frame.push_back(request.m_command);
    frame.push_back(static_cast<std::uint8_t>(dataLength + 2));
    frame.push_back(responseCode);
    frame.push_back(deviceStatus);
    frame.insert(frame.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(dataLength));
    std::uint8_t sum = 0;
    for (std::size_t i = preambles; i < frame.size(); ++i) {
        sum ^= frame[i];
    }
    frame.push_back(sum);
    return frame;
}
