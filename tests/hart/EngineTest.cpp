#include "tests/hart/EngineFixture.h"

namespace {

class Engine : public EngineFixture {};

constexpr std::uint64_t kCommand1Cycle = 190 + 414;

} // namespace

TEST_F(Engine, SuccessIsReportedWhenTheAnswerWindowEndsNotWhenTheAnswerArrives) {
    m_Protocol.SetPortNumber(3);
    Start(1);
    EXPECT_EQ(m_nOpenedPort, 3);
    m_pLink->Receive(PvAnswer(21.5f), 250);
    m_Clock.RunFor(10000);

    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_EQ(m_Completions[0].time, kCommand1Cycle);
    EXPECT_EQ(m_Completions[0].success, 1);
    EXPECT_EQ(m_Completions[0].command, 1);
    EXPECT_EQ(m_Protocol.Device().pv, 21.5f);
    ASSERT_EQ(m_pLink->m_Sent.size(), 1u);
    EXPECT_EQ(m_pLink->m_Sent[0].frame.size(), 21u);
    // RTS up for the transmit time, then down for the answer window.
    ASSERT_EQ(m_pLink->m_Rts.size(), 2u);
    EXPECT_TRUE(m_pLink->m_Rts[0].raised);
    EXPECT_EQ(m_pLink->m_Rts[0].time, 0u);
    EXPECT_FALSE(m_pLink->m_Rts[1].raised);
    EXPECT_EQ(m_pLink->m_Rts[1].time, 190u);
    EXPECT_EQ(m_Protocol.GetState(), HartProtocol::State::Idle);
    EXPECT_EQ(m_Clock.PendingTimers(), 0u);
}

TEST_F(Engine, NoAnswerFailsAfterSixSendsOnTheFixedSchedule) {
    Start(1);
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_EQ(m_Completions[0].success, 0);
    EXPECT_EQ(m_Completions[0].time, 6 * kCommand1Cycle);
    ASSERT_EQ(m_pLink->m_Sent.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(m_pLink->m_Sent[i].time, i * kCommand1Cycle);
        EXPECT_EQ(m_pLink->m_Sent[i].frame, m_pLink->m_Sent[0].frame);
    }
}

TEST_F(Engine, CommandZeroRetriesPauseWhileEventsFlow) {
    Start(0);
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_EQ(m_Completions[0].success, 0);
    EXPECT_EQ(m_Completions[0].time, 6 * (150 + 478) + 5 * 100u);
    EXPECT_EQ(m_Clock.Waits(), 5);
    ASSERT_EQ(m_pLink->m_Sent.size(), 6u);
    EXPECT_EQ(m_pLink->m_Sent[1].time, 150 + 478 + 100u);
}

TEST_F(Engine, NonZeroResponseCodeIsRetriedLikeAMissingAnswer) {
    Start(1);
    m_pLink->Receive(PvAnswer(1.0f, 0x40), 250);
    AnswerWith(PvAnswer(2.0f), 250);
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_EQ(m_Completions[0].success, 1);
    EXPECT_EQ(m_Completions[0].time, 2 * kCommand1Cycle);
    EXPECT_EQ(m_Protocol.Device().pv, 2.0f);
}

TEST_F(Engine, AnswerCompleteWhileRtsIsStillUpIsAccepted) {
    Start(1);
    m_pLink->Receive(PvAnswer(3.0f), 100);
    m_Clock.RunFor(120);
    EXPECT_FALSE(m_Protocol.Awaiting()); // accepted, before RTS drops
    EXPECT_TRUE(m_Completions.empty());
    m_Clock.RunFor(10000);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_EQ(m_Completions[0].time, kCommand1Cycle);
    EXPECT_EQ(m_Protocol.Device().pv, 3.0f);
}

TEST_F(Engine, LateAnswerOfAPreviousAttemptIsParsedWithTheNextOne) {
    Start(1);
    // The first attempt's answer comes just after the retry went out: it now
    // belongs to the second attempt's buffer and completes it.
    m_pLink->Receive(PvAnswer(4.0f), kCommand1Cycle + 20);
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_EQ(m_Completions[0].time, 2 * kCommand1Cycle);
    EXPECT_EQ(m_Protocol.Device().pv, 4.0f);
}

TEST_F(Engine, TheFirstDelimiterDecidesEvenWhenAGoodFrameFollows) {
    Start(1);
    // A late refused frame, then the good answer, in the same attempt: the
    // attempt fails as a whole; the third attempt's answer succeeds.
    std::vector<std::uint8_t> both = PvAnswer(5.0f, 0x40);
    const auto good = PvAnswer(6.0f);
    both.insert(both.end(), good.begin(), good.end());
    m_pLink->Receive(both, kCommand1Cycle + 20);
    m_pLink->m_OnWrite = [this](const std::vector<std::uint8_t>&, std::size_t attempt) {
        if (attempt == 3) {
            m_pLink->Receive(PvAnswer(7.0f), 250);
        }
    };
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_EQ(m_Completions[0].time, 3 * kCommand1Cycle);
    EXPECT_EQ(m_Protocol.Device().pv, 7.0f);
}

TEST_F(Engine, AtMostFiftyNineReceivedBytesAreKept) {
    // A 45-byte answer behind 14 stray preambles ends at byte 59 and is
    // accepted; behind 15 its checksum would be byte 60, which is dropped.
    AnswerSpec spec;
    spec.command = 152;
    spec.data = std::vector<std::uint8_t>(34, 0x11);
    for (std::size_t preambles : {14u, 15u}) {
        spec.preambles = preambles;
        const auto answer = MakeAnswer(spec);
        Start(152);
        const std::size_t half = answer.size() / 2;
        m_Protocol.OnBytesReceived({answer.data(), half});
        m_Protocol.OnBytesReceived({answer.data() + half, answer.size() - half});
        m_Clock.RunFor(300 + 650);
        // Accepted: success when the first answer window ends. Cut short: the
        // engine is still retrying and nothing was stored.
        EXPECT_EQ(m_Completions.size(), preambles == 14u ? 1u : 0u) << preambles;
        EXPECT_EQ(m_Protocol.Device().block152[0], preambles == 14u ? 0x11 : 0) << preambles;
        m_Clock.RunFor(60000);
        m_Protocol.Device().block152 = {};
        m_Completions.clear();
    }
}

TEST_F(Engine, UnknownCommandFailsWithoutSending) {
    Start(99);
    m_Clock.RunFor(10);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_EQ(m_Completions[0].success, 0);
    EXPECT_TRUE(m_pLink->m_Sent.empty());
}

TEST_F(Engine, LostPortIsReopenedByTheNextOperation) {
    ASSERT_TRUE(m_Protocol.EnsureOpen());
    EXPECT_TRUE(m_Protocol.EnsureOpen());
    EXPECT_EQ(m_nOpens, 1);
    m_pLink->m_bLost = true;
    EXPECT_TRUE(m_Protocol.EnsureOpen());
    EXPECT_EQ(m_nOpens, 2);
    m_pLink->m_bLost = true;
    m_bRefuseOpen = true;
    EXPECT_FALSE(m_Protocol.EnsureOpen());
    EXPECT_FALSE(m_Protocol.IsOpen());
}

TEST_F(Engine, ClosingThePortMidTransactionFailsByTimeOutWithoutACrash) {
    Start(1);
    m_Clock.RunFor(100);
    m_Protocol.ClosePort();
    m_pLink = nullptr;
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_EQ(m_Completions[0].success, 0);
}
