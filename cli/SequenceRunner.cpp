#include "cli/SequenceRunner.h"

#include "cli/MessageText.h"
#include "hart/Sequence.h"
#include "platform/PromptService.h"

namespace {

// No transaction runs longer than its retries (about 6 s for the slowest
// command); this bounds an operation should a timer ever go missing.
constexpr auto kStepLimit = std::chrono::seconds(30);

} // namespace

void SequenceRunner::OnStep(void* userData, int success, std::uint8_t) {
    auto* self = static_cast<SequenceRunner*>(userData);
    const OnFailure onFailure =
        self->m_Report == FailureReport::Show ? OnFailure::Report : OnFailure::Quiet;
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
                                            FailureReport report) {
    if (EventLoop::Interrupted()) {
        return Outcome::Interrupted;
    }
    m_Prompt.SetBlankText(MessageText::Get(BusyFlag ? "strBusy" : "strPortFail"));
    if (!CanStartSequence()) {
        return Outcome::Refused;
    }
    m_Report = report;
    m_bFinished = false;
    m_bSucceeded = false;
    m_Prompt.SetBlankText(MessageText::Get("strCommFail"));
    CommandSequence.Load(commands);
    StartSequenceStep(this, &SequenceRunner::OnStep);

    const auto deadline = EventLoop::Clock::now() + kStepLimit * commands.size();
    if (m_Loop.RunUntil([this] { return m_bFinished; }, deadline)) {
        return m_bSucceeded ? Outcome::Done : Outcome::Failed;
    }
    // Interrupted or stuck: stop as the main window's Stop does while busy.
    const bool interrupted = EventLoop::Interrupted();
    CancelSequence();
    BusyFlag = false;
    if (interrupted) {
        return Outcome::Interrupted;
    }
    if (report == FailureReport::Show) {
        PromptService::Show(MessageText::Get("strCommFail"), "HART",
                            PromptService::Icon::Information);
    }
    return Outcome::Failed;
}
