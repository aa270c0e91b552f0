#include "tests/sim/SimulatorHarness.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

SimOptions Multidrop(SimOptions::Timing timing = SimOptions::Timing::Fast) {
    SimOptions options;
    options.m_timing = timing;
    options.m_devices = {0, 3};
    return options;
}

std::array<std::uint8_t, 5> LongAddressOf(const WireFrames::Answer& zero) {
    const Bytes& d = zero.m_data;
    return {static_cast<std::uint8_t>(d[1] | 0x80), d[2], d[9], d[10], d[11]};
}

TEST(Simulator, EachDeviceOnAMultidropLineAnswersOnlyItsOwnAddresses) {
    SimulatorHarness line(Multidrop());
    const auto first = line.Short(0);
    const auto second = line.Short(3);
    EXPECT_EQ(second.m_address, Bytes{0x83});
    EXPECT_NE(LongAddressOf(first), LongAddressOf(second));
    EXPECT_TRUE(line.Silent(WireFrames::ShortRequest(5)));

    // Byte 0 of the long address is compared without master and burst bits.
    auto address = LongAddressOf(second);
    address[0] &= 0x3F;
    const auto tag = line.Long(13, {}, address);
    EXPECT_EQ(tag.m_address, Bytes(address.begin(), address.end()));
    address[4] ^= 0x40;
    EXPECT_TRUE(line.Silent(WireFrames::LongRequest(address, 13)));
}

TEST(Simulator, BadChecksumAndShortFramesForOtherCommandsGetNoAnswer) {
    SimulatorHarness line;
    auto spoiled = WireFrames::ShortRequest(0);
    spoiled[8] ^= 0x01;
    EXPECT_TRUE(line.Silent(spoiled));
    EXPECT_TRUE(line.Silent(WireFrames::ShortRequest(0, 1)));
    EXPECT_EQ(line.Short(0).m_byteCount, 14); // still in step
}

TEST(Simulator, AFrameResumedAfterALongPauseIsDropped) {
    Simulator simulator(SimulatorHarness::Fast(), nullptr);
    const Bytes request = WireFrames::ShortRequest(0);
    const auto half = static_cast<long>(request.size() / 2);
    simulator.Receive(Bytes(request.begin(), request.begin() + half), 1.0);
    simulator.Receive(Bytes(request.begin() + half, request.end()), 1.1);
    EXPECT_TRUE(WireFrames::Parse(simulator.TakeDue(1.2)));
    simulator.Receive(Bytes(request.begin(), request.begin() + half), 2.0);
    simulator.Receive(Bytes(request.begin() + half, request.end()),
                      2.0 + 2 * Simulator::kReceiveGap);
    EXPECT_TRUE(simulator.TakeDue(9.0).empty());
}

TEST(Simulator, NewPollingAddressTakesEffectAndTheLongAddressStays) {
    SimulatorHarness line;
    const auto before = line.Short(0);
    EXPECT_EQ(line.Long(6, {7}).m_data, Bytes{7});
    EXPECT_TRUE(line.Silent(WireFrames::ShortRequest(0)));
    const auto after = line.Short(7);
    EXPECT_EQ(LongAddressOf(after), LongAddressOf(before));
    EXPECT_EQ(line.Long(6, {16}).m_responseCode, 2);
}

TEST(Simulator, RealTimingPacesTheAnswerAtTheLineRate) {
    SimOptions options;
    Simulator simulator(options, nullptr);
    simulator.Receive(WireFrames::ShortRequest(0), 1.0);
    const double start = 1.0 + Simulator::kTurnaround;
    EXPECT_NEAR(simulator.NextDue().value_or(0), start, 1e-9);
    EXPECT_TRUE(simulator.TakeDue(start - 0.001).empty());
    Bytes answer = simulator.TakeDue(start + 3.5 * Simulator::kByteTime);
    EXPECT_EQ(answer.size(), 4u);
    const Bytes rest = simulator.TakeDue(start + 100 * Simulator::kByteTime);
    answer.insert(answer.end(), rest.begin(), rest.end());
    const auto parsed = WireFrames::Parse(answer);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->m_length, answer.size());
    EXPECT_FALSE(simulator.NextDue());
}

TEST(Simulator, AnswersDoNotOverlapOnTheLine) {
    Simulator simulator(Multidrop(SimOptions::Timing::Real), nullptr);
    Bytes both = WireFrames::ShortRequest(0);
    const Bytes second = WireFrames::ShortRequest(3);
    both.insert(both.end(), second.begin(), second.end());
    simulator.Receive(both, 0.0);
    const Bytes out = simulator.TakeDue(10.0);
    const auto first = WireFrames::Parse(out);
    ASSERT_TRUE(first);
    const auto next =
        WireFrames::Parse(Bytes(out.begin() + static_cast<long>(first->m_length), out.end()));
    ASSERT_TRUE(next);
    EXPECT_EQ(next->m_address, Bytes{0x83});
}

} // namespace
