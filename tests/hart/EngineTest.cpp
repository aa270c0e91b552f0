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

TEST_F(Engine, EveryCommandKeysTheModemAndWaitsForItsOwnTimes) {
    // The times tuned on real modems: RTS stays up for the first, and an
    // unanswered request goes out again when the second has passed.
    struct Times {
        std::uint8_t command;
        unsigned transmit, answer;
    };
    const Times kTimes[] = {
        {0, 150, 478},   {1, 190, 414},   {2, 190, 441},   {3, 200, 480},   {6, 199, 377},
        {12, 190, 588},  {13, 190, 560},  {14, 190, 600},  {15, 190, 524},  {16, 190, 395},
        {17, 410, 588},  {18, 382, 560},  {19, 217, 542},  {34, 226, 405},  {35, 272, 450},
        {36, 250, 500},  {37, 250, 500},  {40, 226, 405},  {42, 180, 368},  {45, 226, 405},
        {46, 226, 405},  {137, 250, 500}, {138, 300, 500}, {139, 300, 500}, {140, 200, 600},
        {141, 250, 750}, {142, 200, 500}, {143, 200, 650}, {144, 250, 600}, {145, 200, 600},
        {146, 190, 478}, {147, 190, 395}, {148, 200, 450}, {149, 220, 0},   {150, 200, 550},
        {152, 300, 650}, {153, 250, 650}, {160, 190, 500}, {161, 200, 500}, {162, 200, 500},
        {163, 250, 700}, {164, 250, 700}, {169, 0, 500},   {180, 270, 500}, {181, 210, 500},
        {182, 250, 500}, {183, 360, 650}, {184, 360, 650}, {185, 250, 600}, {186, 290, 423},
        {187, 207, 395}, {188, 250, 500}, {189, 350, 500}, {190, 250, 500}, {192, 550, 650},
        {194, 250, 350},
    };
    ASSERT_TRUE(m_Protocol.EnsureOpen());
    for (const Times& t : kTimes) {
        SCOPED_TRACE(int(t.command));
        m_Completions.clear();
        m_pLink->m_Sent.clear();
        m_pLink->m_Rts.clear();
        const std::uint64_t start = m_Clock.Now();
        const std::uint64_t cycle = t.transmit + t.answer + (t.command == 0 ? 100 : 0);
        Start(t.command);
        m_Clock.RunFor(60000);
        ASSERT_EQ(m_pLink->m_Sent.size(), 6u);
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(m_pLink->m_Sent[i].time - start, i * cycle);
        }
        ASSERT_GE(m_pLink->m_Rts.size(), 2u);
        EXPECT_EQ(m_pLink->m_Rts[1].time - start, t.transmit);
        EXPECT_FALSE(m_pLink->m_Rts[1].raised);
        ASSERT_EQ(m_Completions.size(), 1u);
        EXPECT_EQ(m_Completions[0].time - start, 6 * cycle - (t.command == 0 ? 100 : 0));
    }
    // Numbers the tool cannot send fail at once, with nothing on the wire.
    for (const std::uint8_t command : {43, 47, 99, 154, 255}) {
        m_Completions.clear();
        m_pLink->m_Sent.clear();
        Start(command);
        m_Clock.RunFor(10);
        ASSERT_EQ(m_Completions.size(), 1u);
        EXPECT_EQ(m_Completions[0].success, 0);
        EXPECT_TRUE(m_pLink->m_Sent.empty());
        EXPECT_EQ(m_Protocol.LastResult().kind, TransactionResult::Kind::NotSent);
    }
}

TEST_F(Engine, ACommandThatCannotBeSentFailsEvenAfterASuccess) {
    Start(1);
    m_pLink->Receive(PvAnswer(1.0f), 250);
    m_Clock.RunFor(10000);
    Start(99);
    m_Clock.RunFor(10000);
    ASSERT_EQ(m_Completions.size(), 2u);
    EXPECT_EQ(m_Completions[0].success, 1);
    EXPECT_EQ(m_Completions[1].success, 0);
}

TEST_F(Engine, TheLastAttemptSaysWhyATransactionFailed) {
    using Kind = TransactionResult::Kind;
    auto answer = [](std::uint8_t command, std::vector<std::uint8_t> data, std::uint8_t code = 0,
                     std::uint8_t status = 0) {
        AnswerSpec spec;
        spec.command = command;
        spec.data = std::move(data);
        spec.responseCode = code;
        spec.deviceStatus = status;
        return MakeAnswer(spec);
    };
    std::vector<std::uint8_t> badChecksum = PvAnswer(1.0f);
    badChecksum.back() ^= 0x01;
    const std::vector<std::uint8_t> good = PvAnswer(1.0f);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> answer;
        Kind kind;
        Rejection rejection;
        std::uint8_t code, status;
    };
    const Case cases[] = {
        {"silence", {}, Kind::NoAnswer, Rejection::None, 0, 0},
        {"checksum", badChecksum, Kind::Rejected, Rejection::Checksum, 0, 0},
        {"other command", answer(2, std::vector<std::uint8_t>(8)), Kind::Rejected,
         Rejection::OtherCommand, 0, 0},
        {"byte count", answer(1, std::vector<std::uint8_t>(6)), Kind::Rejected,
         Rejection::ByteCount, 0, 0},
        {"status bytes only", answer(1, {}, 64), Kind::Refused, Rejection::None, 64, 0},
        {"busy", answer(1, Join({{32}, Float(1.0f)}), 32, 0x40), Kind::Refused, Rejection::None, 32,
         0x40},
        {"communication error", answer(1, {}, 0xC2), Kind::Refused, Rejection::None, 0xC2, 0},
        {"noise", std::vector<std::uint8_t>(20, 0x55), Kind::Rejected, Rejection::Garbled, 0, 0},
        {"cut short", {good.begin(), good.end() - 3}, Kind::Rejected, Rejection::Garbled, 0, 0},
        {"success", answer(1, Join({{32}, Float(1.0f)}), 0, 0x09), Kind::Success, Rejection::None,
         0, 0x09},
    };
    ASSERT_TRUE(m_Protocol.EnsureOpen());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_Completions.clear();
        m_pLink->m_OnWrite = nullptr;
        if (!c.answer.empty()) {
            AnswerWith(c.answer, 250);
        }
        Start(1);
        m_Clock.RunFor(60000);
        ASSERT_EQ(m_Completions.size(), 1u);
        EXPECT_EQ(m_Completions[0].success, c.kind == Kind::Success ? 1 : 0);
        const TransactionResult& result = m_Protocol.LastResult();
        EXPECT_EQ(result.kind, c.kind);
        EXPECT_EQ(result.rejection, c.rejection);
        EXPECT_EQ(result.command, 1);
        EXPECT_EQ(result.responseCode, c.code);
        EXPECT_EQ(result.deviceStatus, c.status);
        EXPECT_EQ(result.attempts, c.kind == Kind::Success ? 1 : 6);
    }
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

TEST_F(Engine, ALostOrClosedPortFailsByTimeOutAndSaysSo) {
    Start(1);
    m_pLink->m_bLost = true; // the modem was unplugged
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_EQ(m_Completions[0].success, 0);
    EXPECT_EQ(m_Protocol.LastResult().kind, TransactionResult::Kind::PortLost);

    Start(1);
    m_Clock.RunFor(100);
    m_Protocol.ClosePort();
    m_pLink = nullptr;
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 2u);
    EXPECT_EQ(m_Completions[1].success, 0);
}
