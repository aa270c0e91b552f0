#pragma once

#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>

using Bytes = std::vector<std::uint8_t>;
using LongAddress = std::array<std::uint8_t, 5>;

// The master's side of the wire, written for the tests from the frame
// layouts alone, so the simulator's codec is checked against an independent
// reading of them.
namespace WireFrames {

inline int Xor(Bytes::const_iterator first, Bytes::const_iterator last) {
    return std::accumulate(first, last, 0, std::bit_xor<>());
}

// The defaults stand for no answer at all, which no expectation accepts.
struct Answer {
    std::size_t m_noise = 0; // bytes before the first preamble
    std::size_t m_preambles = 0;
    Bytes m_address; // one byte when short, five when long
    std::uint8_t m_command = 0, m_byteCount = 0, m_responseCode = 0xFF;
    Bytes m_data = Bytes(64);
    bool m_checksumOk = false;
    std::size_t m_length = 0; // bytes consumed, noise and preambles included
};

// Preambles, frame with its checksum, and the two 0xFF the master sends after.
inline Bytes Request(const Bytes& address, std::uint8_t command, const Bytes& data = {}) {
    Bytes frame{static_cast<std::uint8_t>(address.size() == 5 ? 0x82 : 0x02)};
    frame.insert(frame.end(), address.begin(), address.end());
    frame.insert(frame.end(), {command, static_cast<std::uint8_t>(data.size())});
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(static_cast<std::uint8_t>(Xor(frame.begin(), frame.end())));
    frame.insert(frame.begin(), 5, 0xFF);
    frame.insert(frame.end(), 2, 0xFF);
    return frame;
}

inline Bytes ShortRequest(std::uint8_t pollingAddress, std::uint8_t command = 0) {
    return Request({static_cast<std::uint8_t>(0x80 | pollingAddress)}, command);
}

inline Bytes LongRequest(const LongAddress& address, std::uint8_t command, const Bytes& data = {}) {
    return Request(Bytes(address.begin(), address.end()), command, data);
}

// Parses one answer at the start of bytes; nullopt when it is not one.
inline std::optional<Answer> Parse(const Bytes& b) {
    Answer a;
    a.m_noise = std::find(b.begin(), b.end(), 0xFF) - b.begin();
    const auto d = static_cast<std::size_t>(
        std::find_if(b.begin() + a.m_noise, b.end(), [](int x) { return x != 0xFF; }) - b.begin());
    a.m_preambles = d - a.m_noise;
    const std::size_t count = d + (d < b.size() && b[d] == 0x86 ? 5 : 1) + 2;
    if (d >= b.size() || (b[d] & 0x7F) != 0x06 || count >= b.size() || b[count] < 2 ||
        count + b[count] + 1 >= b.size()) {
        return std::nullopt;
    }
    const std::size_t end = count + b[count] + 1; // index of the checksum
    a.m_address.assign(b.begin() + d + 1, b.begin() + count - 1);
    std::tie(a.m_command, a.m_byteCount, a.m_responseCode) =
        std::tie(b[count - 1], b[count], b[count + 1]);
    a.m_data.assign(b.begin() + count + 3, b.begin() + end);
    a.m_checksumOk = Xor(b.begin() + d, b.begin() + end + 1) == 0;
    a.m_length = end + 1;
    return a;
}

inline float FloatAt(const Bytes& data, std::size_t at) {
    return std::bit_cast<float>(std::uint32_t{data.at(at)} << 24 | data.at(at + 1) << 16 |
                                data.at(at + 2) << 8 | data.at(at + 3));
}

// The values as big-endian floats after the prefix.
inline Bytes Floats(std::initializer_list<float> values, Bytes prefix = {}) {
    for (const float value : values) {
        const auto bits = std::bit_cast<std::uint32_t>(value);
        prefix.insert(prefix.end(), {std::uint8_t(bits >> 24), std::uint8_t(bits >> 16),
                                     std::uint8_t(bits >> 8), std::uint8_t(bits)});
    }
    return prefix;
}

} // namespace WireFrames

// Drives a Simulator in fast timing on a virtual clock, as the master would:
// one request, then whatever the line carries a second later.
class SimulatorHarness {
public:
    static constexpr LongAddress kFirstAddress{0xBE, 0x04, 0x5A, 0x00, 0x01};

    SimulatorHarness() : SimulatorHarness(Fast()) {}
    explicit SimulatorHarness(const SimOptions& options) : m_simulator(options, nullptr) {}
    static SimOptions Fast(std::vector<std::uint8_t> devices = {0}) {
        SimOptions options;
        options.m_timing = SimOptions::Timing::Fast;
        options.m_devices = std::move(devices);
        return options;
    }

    Bytes Exchange(const Bytes& request) {
        m_simulator.Receive(request, m_seconds);
        m_seconds += 1.0;
        return m_simulator.TakeDue(m_seconds);
    }
    bool Silent(const Bytes& request) { return Exchange(request).empty(); }
    // The answer to a request that must get one; the test fails without one.
    WireFrames::Answer Ask(const Bytes& request) {
        const auto answer = WireFrames::Parse(Exchange(request));
        EXPECT_TRUE(answer) << "no answer";
        return answer.value_or(WireFrames::Answer{});
    }
    WireFrames::Answer Long(std::uint8_t command, const Bytes& data = {},
                            const LongAddress& address = kFirstAddress) {
        return Ask(WireFrames::LongRequest(address, command, data));
    }
    WireFrames::Answer Short(std::uint8_t polling) {
        return Ask(WireFrames::ShortRequest(polling));
    }
    Simulator& Sim() { return m_simulator; }

private:
    Simulator m_simulator;
    double m_seconds = 10.0;
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
struct TempFolder {
    std::string m_path = (std::filesystem::temp_directory_path() / "calora-sim-XXXXXX").string();
    TempFolder() { EXPECT_NE(::mkdtemp(m_path.data()), nullptr); }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
};
