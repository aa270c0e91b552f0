#pragma once

#include "sim/Simulator.h"
#include "tests/sim/WireFrames.h"

#include <gtest/gtest.h>

#include <vector>

// Drives a Simulator in fast timing on a virtual clock, as the master would:
// one request, then whatever the line carries a second later.
class SimulatorHarness {
public:
    static constexpr std::array<std::uint8_t, 5> kFirstAddress{0xBE, 0x04, 0x5A, 0x00, 0x01};

    explicit SimulatorHarness(SimOptions options = Fast()) : m_simulator(options, nullptr) {}

    static SimOptions Fast() {
        SimOptions options;
        options.m_timing = SimOptions::Timing::Fast;
        return options;
    }

    // Sends the bytes at the current time and returns what came back within
    // the following second (the clock moves on by that second).
    std::vector<std::uint8_t> Exchange(const std::vector<std::uint8_t>& request) {
        m_simulator.Receive(request, m_seconds);
        m_seconds += 1.0;
        return m_simulator.TakeDue(m_seconds);
    }

    // True when the request gets no answer at all.
    bool Silent(const std::vector<std::uint8_t>& request) { return Exchange(request).empty(); }

    // The answer to a request that must get one. Without one the test fails
    // and goes on with an answer of zeros that no expectation accepts.
    WireFrames::Answer Long(std::uint8_t command, std::vector<std::uint8_t> data = {},
                            const std::array<std::uint8_t, 5>& address = kFirstAddress) {
        return Expect(Exchange(WireFrames::LongRequest(address, command, data)));
    }

    WireFrames::Answer Short(std::uint8_t pollingAddress) {
        return Expect(Exchange(WireFrames::ShortRequest(pollingAddress)));
    }

    Simulator& Sim() { return m_simulator; }

private:
    static WireFrames::Answer Expect(const std::vector<std::uint8_t>& bytes) {
        if (auto answer = WireFrames::Parse(bytes)) {
            return *answer;
        }
        ADD_FAILURE() << "no answer";
        WireFrames::Answer none;
        none.m_responseCode = 0xFF;
        none.m_data.assign(64, 0);
        return none;
    }

    Simulator m_simulator;
    double m_seconds = 10.0;
};
