#include "cli/SequenceRunner.h"

#include "cli/MessageText.h"
#include "hart/FailureReason.h"
#include "hart/Sequence.h"
#include "platform/PromptService.h"

namespace {

// No transaction runs longer than its retries (about 6 s for the slowest
// command); this bounds an operation should a timer ever go missing.
constexpr auto kStepLimit = std::chrono::seconds(30);
constexpr const char* kName = "calora-cli";

} // namespace

std::string SequenceRunner::Reason(const TransactionResult& result) {
    return FailureReason::Describe(result, MessageText::Of);
}

void SequenceRunner::OnStep(void* userData, int success, std::uint8_t) {
    auto* self = static_cast<SequenceRunner*>(userData);
    if (!CancelFlag) {
        if (const HartProtocol* protocol = HartProtocol::Instance()) {
            self->m_Results.push_back(protocol->LastResult());
        }
    }
    const OnFailure onFailure =
        self->m_StepFailure == StepFailure::Noted && CommandSequence.index > 0 ? OnFailure::Continue
                                                                               : OnFailure::Quiet;
    switch (AdvanceSequence(self, &SequenceRunner::OnStep, success, onFailure)) {
    case StepOutcome::Cancelled:
    case StepOutcome::Started:
        return;
    case StepOutcome::Failed:
        self->m_bFinished = true;
        return;
    case StepOutcome::Finished:
        ReportSequenceDone();
        self->m_bSucceeded = true;
        self->m_bFinished = true;
        return;
    }
}

SequenceRunner::Outcome SequenceRunner::Run(std::initializer_list<std::uint8_t> commands,
                                            FailureReport report, StepFailure stepFailure) {
    m_Results.clear();
    if (EventLoop::Interrupted()) {
        return Outcome::Interrupted;
    }
    m_Prompt.SetBlankText(MessageText::Get(BusyFlag ? "strBusy" : "strPortFail"));
    if (!CanStartSequence()) {
        return Outcome::Refused;
    }
    m_Report = report;
    m_StepFailure = stepFailure;
    m_bFinished = false;
    m_bSucceeded = false;
    m_Prompt.SetBlankText(MessageText::Get("strCommFail"));
    CommandSequence.Load(commands);
    StartSequenceStep(this, &SequenceRunner::OnStep);

    const auto deadline = EventLoop::Clock::now() + kStepLimit * commands.size();
    Outcome outcome = Outcome::Failed;
    if (m_Loop.RunUntil([this] { return m_bFinished; }, deadline)) {
        outcome = m_bSucceeded ? Outcome::Done : Outcome::Failed;
    } else {
        // Interrupted or stuck: stop as the main window's Stop does while busy.
        const bool interrupted = EventLoop::Interrupted();
        CancelSequence();
        BusyFlag = false;
        if (interrupted) {
            return Outcome::Interrupted;
        }
    }
    if (outcome == Outcome::Failed && report == FailureReport::Show) {
        PromptService::Show(MessageText::Get("strCommFail"), "HART",
                            PromptService::Icon::Information);
        if (!m_Results.empty()) {
            PromptService::Show(Reason(m_Results.back()), kName, PromptService::Icon::Information);
        }
    }
    return outcome;
}
