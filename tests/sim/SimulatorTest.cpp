#include "tests/sim/SimTestSupport.h"

#include <tuple>

namespace {

using WireFrames::ShortRequest;

// The answer to a damping write at the given time: whether it came within
// half a second, checksum right, byte count, preambles, noise before them,
// response code. All false and zero when nothing comes within a second.
using Shape = std::tuple<bool, bool, int, std::size_t, bool, int>;
Shape WriteDamping(Simulator& simulator, double seconds) {
    simulator.Receive(WireFrames::LongRequest(SimulatorHarness::kFirstAddress, 34,
                                              WireFrames::Floats({static_cast<float>(seconds)})),
                      seconds);
    const Bytes prompt = simulator.TakeDue(seconds + 0.5);
    const auto a = WireFrames::Parse(prompt.empty() ? simulator.TakeDue(seconds + 1) : prompt);
    return a ? Shape(!prompt.empty(), a->m_checksumOk, a->m_byteCount, a->m_preambles,
                     a->m_noise >= 3, a->m_responseCode)
             : Shape();
}

Simulator WithFault(const std::string& fault) {
    SimOptions options;
    std::string error;
    EXPECT_TRUE(SimOptions::Parse({"--timing=fast", "--fault", fault}, &options, &error)) << error;
    return Simulator(options, nullptr);
}

TEST(Simulator, EachDeviceOnAMultidropLineAnswersOnlyItsOwnAddresses) {
    SimulatorHarness line(SimulatorHarness::Fast({0, 13}));
    const auto second = line.Short(13);
    EXPECT_EQ(second.m_address, Bytes{0x8D});
    EXPECT_NE(line.Short(0).m_data, second.m_data);
    EXPECT_TRUE(line.Silent(ShortRequest(5)));
    // Byte 0 of the long address is compared without master and burst bits.
    const LongAddress address{0x3E, 0x04, 0x5A, 0x00, 0x02}; // the second device's
    EXPECT_EQ(line.Long(13, {}, address).m_address, Bytes(address.begin(), address.end()));
    EXPECT_TRUE(line.Silent(WireFrames::LongRequest({0x3E, 0x04, 0x5A, 0x00, 0x42}, 13)));
    // A new polling address takes effect; the long address stays.
    EXPECT_EQ(line.Long(6, {7}, address).m_data, Bytes{7});
    EXPECT_TRUE(line.Silent(ShortRequest(13)));
    EXPECT_EQ(line.Short(7).m_data, second.m_data);
    EXPECT_EQ(line.Long(6, {16}, address).m_responseCode, 2);
    // A bad checksum, or a short address for a command other than 0, get no answer.
    auto spoiled = ShortRequest(0);
    spoiled[8] ^= 0x01;
    EXPECT_TRUE(line.Silent(spoiled));
    EXPECT_TRUE(line.Silent(ShortRequest(0, 1)));
}

TEST(Simulator, RealTimingPacesAnswersOneAfterTheOtherAndDropsFramesResumedLate) {
    SimOptions options;
    options.m_devices = {0, 3};
    Simulator simulator(options, nullptr);
    Bytes both = ShortRequest(0);
    const Bytes second = ShortRequest(3);
    both.insert(both.end(), second.begin(), second.end());
    // Two requests, the first split by a short pause.
    simulator.Receive(Bytes(both.begin(), both.begin() + 6), 0.5);
    simulator.Receive(Bytes(both.begin() + 6, both.end()), 1.0);
    const double start = 1.0 + Simulator::kTurnaround;
    EXPECT_NEAR(simulator.NextDue().value_or(0), start, 1e-9);
    EXPECT_TRUE(simulator.TakeDue(start - 0.001).empty());
    Bytes out = simulator.TakeDue(start + 3.5 * Simulator::kByteTime);
    EXPECT_EQ(out.size(), 4u);
    for (const double byteTimes : {30.5, 100.0}) {
        const Bytes more = simulator.TakeDue(start + byteTimes * Simulator::kByteTime);
        out.insert(out.end(), more.begin(), more.end());
        // One byte per byte time; the second answer (24 bytes too) after the first.
        EXPECT_EQ(out.size(), std::min<std::size_t>(static_cast<std::size_t>(byteTimes) + 1, 48));
    }
    const auto first = WireFrames::Parse(out);
    ASSERT_TRUE(first);
    const auto next = WireFrames::Parse(Bytes(out.begin() + first->m_length, out.end()));
    ASSERT_TRUE(next);
    EXPECT_EQ(next->m_address, Bytes{0x83});
    EXPECT_EQ(first->m_length + next->m_length, out.size());
    EXPECT_FALSE(simulator.NextDue());
    // A frame resumed after a long pause is dropped: its start is not coming.
    simulator.Receive(Bytes(second.begin(), second.begin() + 6), 5.0);
    simulator.Receive(Bytes(second.begin() + 6, second.end()), 5.0 + 2 * Simulator::kReceiveGap);
    EXPECT_FALSE(simulator.NextDue());
}

TEST(Simulator, EachFaultKindSpoilsTheNextAnswersOnly) {
    const Shape clean(true, true, 6, 5, false, 0);
    // Kind, the spoiled answers, whether the spoiled requests are carried out.
    const std::vector<std::tuple<std::string, Shape, bool>> kinds{
        {"noanswer", Shape(), false},
        {"late", {false, true, 6, 5, false, 0}, true},
        {"checksum", {true, false, 6, 5, false, 0}, true},
        {"bytecount", {true, true, 7, 5, false, 0}, true},
        {"preambles", {true, true, 6, 20, false, 0}, true},
        {"noise", {true, true, 6, 5, true, 0}, true},
        {"rc", {true, true, 2, 5, false, 32}, false}, // busy
        {"ignore", clean, false}};
    for (const auto& [kind, spoiled, carriedOut] : kinds) {
        // A fault of one command spares every other command.
        Simulator simulator = WithFault(kind + ":next=2:cmd=34");
        simulator.Receive(WireFrames::LongRequest(SimulatorHarness::kFirstAddress, 13), 5);
        const auto read = WireFrames::Parse(simulator.TakeDue(5.5));
        EXPECT_TRUE(read && read->m_checksumOk && read->m_responseCode == 0) << kind;
        EXPECT_EQ(WriteDamping(simulator, 10), spoiled) << kind;
        EXPECT_EQ(WriteDamping(simulator, 20), spoiled) << kind;
        EXPECT_EQ(simulator.Device(0).Config().m_damping, carriedOut ? 20.0f : 1.0f) << kind;
        EXPECT_EQ(WriteDamping(simulator, 30), clean) << kind;
    }
    Simulator sometimes = WithFault("noanswer:rate=0.5");
    int answered = 0;
    for (int i = 1; i <= 200; ++i) {
        answered += std::get<0>(WriteDamping(sometimes, i)) ? 1 : 0;
    }
    EXPECT_TRUE(answered > 60 && answered < 140) << answered;
}

} // namespace
