#include "tests/hart/EngineFixture.h"

namespace {

// A page-like operation: runs CommandSequence to its end the way every page's
// completion routine does.
class Sequence : public EngineFixture {
protected:
    static void Step(void* userData, int success, std::uint8_t command) {
        auto* self = static_cast<Sequence*>(userData);
        if (!CancelFlag) {
            self->m_Completions.push_back({self->m_Clock.Now(), success, command});
        }
        if (AdvanceSequence(self, &Sequence::Step, success) == StepOutcome::Finished) {
            ReportSequenceDone();
        }
    }

    bool Run(std::initializer_list<std::uint8_t> commands) {
        if (!CanStartSequence()) {
            return false;
        }
        CommandSequence.Load(commands);
        StartSequenceStep(this, &Sequence::Step);
        return true;
    }

    // Answers command 0 at address 0 and commands 1 and 2 like a transmitter.
    void RespondLikeATransmitter() {
        m_pLink->m_OnWrite = [this](const std::vector<std::uint8_t>& frame, std::size_t) {
            AnswerSpec spec;
            if (frame[10] == 0x02) {
                spec.command = 0;
                spec.longAddress = false;
                spec.data = {254, 0x26, 4, 5, 5, 1, 1, 1, 0, 1, 2, 3};
            } else if (frame[16] == 1) {
                spec.command = 1;
                spec.data = Join({{32}, Float(22.0f)});
            } else {
                spec.command = 2;
                spec.data = Join({Float(12.0f), Float(50.0f)});
            }
            m_pLink->Receive(MakeAnswer(spec), 200);
        };
    }

    void SetUp() override {
        EngineFixture::SetUp();
        g_pMainDialog = &m_Display;
    }
};

} // namespace

TEST_F(Sequence, RunsEveryStepAndReportsDone) {
    ASSERT_TRUE(m_Protocol.EnsureOpen());
    RespondLikeATransmitter();
    ASSERT_TRUE(Run({0, 1, 2}));
    EXPECT_TRUE(BusyFlag);
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 3u);
    EXPECT_EQ(m_Completions[2].time, (150 + 478) + (190 + 414) + (190 + 441u));
    EXPECT_FALSE(BusyFlag);
    EXPECT_EQ(m_Protocol.Device().pv, 22.0f);
    EXPECT_EQ(m_Protocol.Device().loopCurrent, 12.0f);
    EXPECT_EQ(m_Display.m_Progress, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(m_Display.m_Status.back(), "0:Done");
    EXPECT_EQ(m_Display.m_Status.front(), "0:Communicating");
    EXPECT_TRUE(m_Prompt.m_Shown.empty());
}

TEST_F(Sequence, FailedStepShowsTheCommunicationFailure) {
    ASSERT_TRUE(Run({0, 1}));
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_FALSE(BusyFlag);
    ASSERT_EQ(m_Prompt.m_Shown.size(), 1u);
    EXPECT_EQ(m_Prompt.m_Shown[0].text, "No answer");
    EXPECT_EQ(m_Prompt.m_Shown[0].caption, "HART");
    EXPECT_EQ(m_Prompt.m_Shown[0].icon, PromptService::Icon::Information);
    EXPECT_EQ(m_Display.m_Status.back(), "0:Failed");
    EXPECT_TRUE(m_Display.m_Progress.back());
}

TEST_F(Sequence, AFailureMessageSaysWhyWhenTheLanguageFileCan) {
    ASSERT_TRUE(m_Protocol.EnsureOpen());
    AnswerSpec refusal;
    refusal.responseCode = 64;
    AnswerWith(MakeAnswer(refusal), 200);
    std::ofstream(m_LanguageFile, std::ios::app)
        << "strWhyRefused=the transmitter refused command %1: response code %2\n"
           "strRcNotImplemented=command not implemented\n";
    ASSERT_TRUE(Run({1}));
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Prompt.m_Shown.size(), 1u);
    EXPECT_EQ(m_Prompt.m_Shown[0].text, "No answer\nThe transmitter refused command 1: response "
                                        "code 64, command not implemented.");
}

TEST_F(Sequence, SecondOperationWhileBusyIsRefusedAndTheFirstRunsOn) {
    ASSERT_TRUE(m_Protocol.EnsureOpen());
    RespondLikeATransmitter();
    ASSERT_TRUE(Run({0, 1, 2}));
    m_Clock.RunFor(700);
    const std::size_t sent = m_pLink->m_Sent.size();
    EXPECT_FALSE(Run({0, 42}));
    ASSERT_EQ(m_Prompt.m_Shown.size(), 1u);
    EXPECT_EQ(m_Prompt.m_Shown[0].text, "Busy");
    EXPECT_EQ(m_Prompt.m_Shown[0].icon, PromptService::Icon::Information);
    EXPECT_EQ(m_pLink->m_Sent.size(), sent);
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 3u);
    EXPECT_EQ(m_Completions[2].command, 2);
    EXPECT_EQ(m_Display.m_Status.back(), "0:Done");
}

TEST_F(Sequence, PortThatCannotOpenIsRefusedAndNothingIsSent) {
    m_bRefuseOpen = true;
    EXPECT_FALSE(Run({0, 1, 2}));
    ASSERT_EQ(m_Prompt.m_Shown.size(), 1u);
    EXPECT_EQ(m_Prompt.m_Shown[0].text, "Port failed");
    EXPECT_EQ(m_Prompt.m_Shown[0].caption, "HART");
    EXPECT_EQ(m_Prompt.m_Shown[0].icon, PromptService::Icon::Error);
    EXPECT_FALSE(BusyFlag);
    EXPECT_EQ(m_Clock.PendingTimers(), 0u);
}

TEST_F(Sequence, StopDuringTheAnswerWindowDropsTheAnswerAndTheNextOperationRuns) {
    ASSERT_TRUE(Run({0, 1}));
    m_Clock.RunFor(150 + 478 + 100 + 200); // in the second attempt's answer window
    // The answer is on its way; Stop comes first.
    AnswerSpec spec;
    spec.command = 0;
    spec.longAddress = false;
    spec.data = {254, 0x26, 4, 5, 5, 1, 1, 1, 0, 9, 9, 9};
    m_pLink->Receive(MakeAnswer(spec), 50);
    CancelSequence();
    BusyFlag = false; // what the main window's Stop does while busy
    EXPECT_FALSE(m_pLink->m_Rts.back().raised);
    m_Clock.RunFor(60000);
    EXPECT_TRUE(m_Completions.empty());
    EXPECT_EQ(m_Protocol.Device().longAddress, (std::array<std::uint8_t, 5>{}));
    EXPECT_TRUE(m_Prompt.m_Shown.empty());

    RespondLikeATransmitter();
    const std::uint64_t start = m_Clock.Now();
    ASSERT_TRUE(Run({0, 1}));
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 2u);
    EXPECT_EQ(m_Completions[1].time - start, (150 + 478) + (190 + 414u));
    EXPECT_EQ(m_Protocol.Device().pv, 22.0f);
}

TEST_F(Sequence, StopDuringTheCommandZeroRetryPauseEndsTheTransaction) {
    ASSERT_TRUE(Run({0}));
    // Stop arrives while the engine waits before its first retry.
    m_Clock.StartOneShot(150 + 478 + 50, [] { CancelFlag = true; });
    m_Clock.RunFor(60000);
    EXPECT_TRUE(m_Completions.empty());
    EXPECT_EQ(m_pLink->m_Sent.size(), 1u);
}

TEST_F(Sequence, StopWhileTransmittingUnkeysTheModemAtOnce) {
    ASSERT_TRUE(Run({0, 1}));
    m_Clock.RunFor(50);
    ASSERT_TRUE(m_pLink->m_Rts.back().raised);
    CancelSequence();
    EXPECT_FALSE(m_pLink->m_Rts.back().raised);
    EXPECT_EQ(m_pLink->m_Rts.back().time, 50u);
    EXPECT_EQ(m_Clock.PendingTimers(), 0u);
    EXPECT_EQ(CommandSequence.index, CommandSequence.count);
}

TEST_F(Sequence, CancelFlagAloneAbandonsTheTransactionAtTheNextTimer) {
    ASSERT_TRUE(Run({0, 1}));
    m_Clock.RunFor(50);
    CancelFlag = true;
    AnswerSpec spec;
    spec.command = 0;
    spec.longAddress = false;
    spec.data = {254, 0x26, 4, 5, 5, 1, 1, 1, 0, 9, 9, 9};
    m_pLink->Receive(MakeAnswer(spec), 400);
    m_Clock.RunFor(60000);
    EXPECT_TRUE(m_Completions.empty());
    EXPECT_EQ(m_pLink->m_Sent.size(), 1u);
    EXPECT_FALSE(m_pLink->m_Rts.back().raised);
    EXPECT_EQ(m_pLink->m_Rts.back().time, 150u);
    EXPECT_EQ(m_Protocol.Device().longAddress, (std::array<std::uint8_t, 5>{}));
}

TEST_F(Sequence, WithoutAMainWindowNothingIsShownButTheSequenceRuns) {
    g_pMainDialog = nullptr;
    ASSERT_TRUE(m_Protocol.EnsureOpen());
    RespondLikeATransmitter();
    ASSERT_TRUE(Run({0, 1}));
    m_Clock.RunFor(60000);
    EXPECT_EQ(m_Completions.size(), 2u);
    EXPECT_TRUE(m_Display.m_Progress.empty());
    EXPECT_FALSE(BusyFlag);
}
