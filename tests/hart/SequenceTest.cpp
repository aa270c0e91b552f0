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

    static std::vector<std::uint8_t> IdentityAnswer(std::uint8_t id) {
        return MakeAnswer({.command = 0,
                           .data = {254, 0x26, 4, 5, 5, 1, 1, 1, 0, id, id, id},
                           .longAddress = false});
    }

    // Answers command 0 at address 0 and commands 1 and 2 like a transmitter.
    void RespondLikeATransmitter() {
        m_pLink->m_OnWrite = [this](const std::vector<std::uint8_t>& frame, std::size_t) {
            const auto loop =
                MakeAnswer({.command = 2, .data = Join({Float(12.0f), Float(50.0f)})});
            m_pLink->Receive(frame[10] == 0x02 ? IdentityAnswer(1)
                             : frame[16] == 1  ? PvAnswer(22.0f)
                                               : loop,
                             200);
        };
    }

    void ExpectShown(std::size_t index, const std::string& text, PromptService::Icon icon) {
        ASSERT_EQ(m_Prompt.m_Shown.size(), index + 1);
        EXPECT_EQ(m_Prompt.m_Shown[index].text, text);
        EXPECT_EQ(m_Prompt.m_Shown[index].caption, "HART");
        EXPECT_EQ(m_Prompt.m_Shown[index].icon, icon);
    }
};

} // namespace

TEST_F(Sequence, RunsEveryStepRefusesASecondOperationAndReportsDone) {
    ASSERT_TRUE(m_Protocol.EnsureOpen());
    RespondLikeATransmitter();
    ASSERT_TRUE(Run({0, 1, 2}));
    EXPECT_TRUE(BusyFlag);
    m_Clock.RunFor(700);
    const std::size_t sent = m_pLink->m_Sent.size();
    EXPECT_FALSE(Run({0, 42}));
    ExpectShown(0, "Busy", PromptService::Icon::Information);
    EXPECT_EQ(m_pLink->m_Sent.size(), sent);
    m_Clock.RunFor(60000);
    const std::uint64_t zero = 150 + 478, one = zero + 190 + 414;
    EXPECT_EQ(m_Completions, (Completions{{zero, 1, 0}, {one, 1, 1}, {one + 190 + 441, 1, 2}}));
    EXPECT_FALSE(BusyFlag);
    EXPECT_EQ(m_Protocol.Device().pv, 22.0f);
    EXPECT_EQ(m_Display.m_Progress, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(m_Display.m_Status, (std::vector<std::string>{"0:Communicating", "0:Communicating",
                                                            "0:Communicating", "0:Done"}));
}

TEST_F(Sequence, AFailedStepShowsTheFailureAndWhyWhenTheLanguageFileCan) {
    ASSERT_TRUE(Run({0, 1}));
    m_Clock.RunFor(60000);
    ASSERT_EQ(m_Completions.size(), 1u);
    EXPECT_FALSE(BusyFlag);
    ExpectShown(0, "No answer", PromptService::Icon::Information);
    EXPECT_EQ(m_Display.m_Status.back(), "0:Failed");
    EXPECT_TRUE(m_Display.m_Progress.back());

    AnswerWith(MakeAnswer({.responseCode = 64}), 200);
    std::ofstream(m_LanguageFile, std::ios::app)
        << "strWhyRefused=the transmitter refused command %1: response code %2\n"
           "strRcNotImplemented=command not implemented\n";
    ASSERT_TRUE(Run({1}));
    m_Clock.RunFor(60000);
    ExpectShown(1,
                "No answer\nThe transmitter refused command 1: response code 64, command not "
                "implemented.",
                PromptService::Icon::Information);
}

TEST_F(Sequence, PortThatCannotOpenIsRefusedAndNothingIsSent) {
    m_bRefuseOpen = true;
    EXPECT_FALSE(Run({0, 1, 2}));
    ExpectShown(0, "Port failed", PromptService::Icon::Error);
    EXPECT_FALSE(BusyFlag);
    EXPECT_EQ(m_Clock.PendingTimers(), 0u);
}

TEST_F(Sequence, StopOrTheCancelFlagEndTheTransactionAndDropItsAnswer) {
    // Stop ends the transaction at once; the cancel flag alone at the next
    // timer or after the pause before a retry of command 0. Either way the
    // modem is unkeyed, and an answer arriving afterwards is not taken.
    struct Case {
        const char* what;
        unsigned at;
        bool flagOnly;
        std::size_t sent;
        std::uint64_t unkeyed;
    };
    const Case cases[] = {
        {"Stop while transmitting", 50, false, 1, 50},
        {"flag while transmitting", 50, true, 1, 150},
        {"Stop in the answer window of the retry", 150 + 478 + 100 + 200, false, 2, 928},
        {"flag in the pause before the retry", 150 + 478 + 50, true, 1, 150 + 478 + 100},
    };
    ASSERT_TRUE(m_Protocol.EnsureOpen());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BusyFlag = false; // what the main window's Stop does while busy
        CancelFlag = false;
        m_pLink->m_Sent.clear();
        const std::uint64_t start = m_Clock.Now();
        ASSERT_TRUE(Run({0, 1}));
        m_Clock.StartOneShot(c.at, [this, &c] {
            c.flagOnly ? void(CancelFlag = true) : CancelSequence();
            m_pLink->Receive(IdentityAnswer(9), 400);
        });
        m_Clock.RunFor(60000);
        EXPECT_TRUE(m_Completions.empty());
        EXPECT_EQ(m_pLink->m_Sent.size(), c.sent);
        EXPECT_FALSE(m_pLink->m_Rts.back().raised);
        EXPECT_EQ(m_pLink->m_Rts.back().time - start, c.unkeyed);
        EXPECT_EQ(m_Protocol.Device().longAddress, (std::array<std::uint8_t, 5>{}));
        EXPECT_TRUE(m_Prompt.m_Shown.empty());
    }
    // The next operation runs as usual, and without a main window shows nothing.
    CancelFlag = false;
    BusyFlag = false;
    g_pMainDialog = nullptr;
    m_Display.m_Progress.clear();
    RespondLikeATransmitter();
    const std::uint64_t start = m_Clock.Now();
    ASSERT_TRUE(Run({0, 1}));
    m_Clock.RunFor(60000);
    const std::uint64_t zero = start + 150 + 478;
    EXPECT_EQ(m_Completions, (Completions{{zero, 1, 0}, {zero + 190 + 414, 1, 1}}));
    EXPECT_TRUE(m_Display.m_Progress.empty());
    EXPECT_FALSE(BusyFlag);
}
