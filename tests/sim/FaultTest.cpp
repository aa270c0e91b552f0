#include "tests/sim/SimulatorHarness.h"

#include <gtest/gtest.h>

namespace {

SimulatorHarness WithFault(const std::string& text) {
    SimOptions options = SimulatorHarness::Fast();
    std::string error;
    const auto rule = FaultInjector::Parse(text, &error);
    EXPECT_TRUE(rule) << error;
    if (rule) {
        options.m_faults.push_back(*rule);
    }
    return SimulatorHarness(options);
}

// A clean answer comes once the faults have been used up.
void ExpectCleanAfterwards(SimulatorHarness& line) {
    const auto answer = line.Short(0);
    EXPECT_TRUE(answer.m_checksumOk);
    EXPECT_EQ(answer.m_responseCode, 0);
    EXPECT_EQ(answer.m_byteCount, 14);
    EXPECT_EQ(answer.m_preambles, 5u);
    EXPECT_EQ(answer.m_noise, 0u);
}

TEST(Fault, EachKindSpoilsItsPartOfTheNextAnswers) {
    auto silent = WithFault("noanswer:next=2");
    EXPECT_TRUE(silent.Silent(WireFrames::ShortRequest(0)));
    EXPECT_TRUE(silent.Silent(WireFrames::ShortRequest(0)));
    ExpectCleanAfterwards(silent);

    auto checksum = WithFault("checksum:next=1");
    const auto spoiled = checksum.Short(0);
    EXPECT_FALSE(spoiled.m_checksumOk);
    EXPECT_EQ(spoiled.m_byteCount, 14);
    ExpectCleanAfterwards(checksum);

    auto count = WithFault("bytecount:next=1");
    const auto longer = count.Long(1);
    EXPECT_TRUE(longer.m_checksumOk);
    EXPECT_NE(longer.m_byteCount, 7);
    ExpectCleanAfterwards(count);

    auto preambles = WithFault("preambles:next=1");
    const auto twenty = preambles.Short(0);
    EXPECT_EQ(twenty.m_preambles, 20u);
    EXPECT_TRUE(twenty.m_checksumOk);
    ExpectCleanAfterwards(preambles);

    auto noise = WithFault("noise:next=1");
    const auto noisy = noise.Short(0);
    EXPECT_GE(noisy.m_noise, 3u);
    EXPECT_EQ(noisy.m_preambles, 5u);
    EXPECT_TRUE(noisy.m_checksumOk);
    ExpectCleanAfterwards(noise);
}

TEST(Fault, ResponseCodeAnswersBusyWithoutCarryingTheCommandOut) {
    auto line = WithFault("rc:next=1");
    const auto answer = line.Long(34, WireFrames::FloatBytes(9.0f));
    EXPECT_TRUE(answer.m_checksumOk);
    EXPECT_EQ(answer.m_responseCode, 32);
    EXPECT_EQ(WireFrames::FloatAt(line.Long(15).m_data, 11), 1.0f);
    ExpectCleanAfterwards(line);
}

TEST(Fault, LateAnswerComesAfterEightHundredMilliseconds) {
    auto line = WithFault("late:next=1");
    line.Sim().Receive(WireFrames::ShortRequest(0), 0.0);
    EXPECT_TRUE(line.Sim().TakeDue(0.7).empty());
    const auto answer = WireFrames::Parse(line.Sim().TakeDue(0.85));
    ASSERT_TRUE(answer);
    EXPECT_TRUE(answer->m_checksumOk);
    ExpectCleanAfterwards(line);
}

TEST(Fault, RatesApplyByChance) {
    auto sometimes = WithFault("noanswer:rate=0.5");
    int answered = 0;
    for (int i = 0; i < 200; ++i) {
        answered += sometimes.Silent(WireFrames::ShortRequest(0)) ? 0 : 1;
    }
    EXPECT_GT(answered, 60);
    EXPECT_LT(answered, 140);
}

} // namespace
