#include "hart/Sequence.h"

#include "hart/SequenceDisplay.h"
#include "platform/LanguageText.h"
#include "platform/PromptService.h"

#include <algorithm>

CommandList CommandSequence;
bool BusyFlag = false;
bool CancelFlag = false;
SequenceDisplay* g_pMainDialog = nullptr;

namespace {

constexpr const char* kCaption = "HART";

void ShowOutcome(bool finished, const char* statusKey) {
    if (g_pMainDialog != nullptr) {
        g_pMainDialog->ShowProgress(finished);
        g_pMainDialog->SetStatusText(0, LoadLanguageText(statusKey));
    }
}

} // namespace

void CommandList::Load(std::initializer_list<std::uint8_t> list) {
    Load(std::span<const std::uint8_t>(list.begin(), list.size()));
}

void CommandList::Load(std::span<const std::uint8_t> list) {
    count = static_cast<std::uint8_t>(std::min(list.size(), kCapacity));
    std::copy_n(list.begin(), count, commands.begin());
    index = 0;
}

bool CanStartSequence() {
    if (BusyFlag) {
        PromptService::Show(LoadLanguageText("strBusy"), kCaption,
                            PromptService::Icon::Information);
        return false;
    }
    HartProtocol* protocol = HartProtocol::Instance();
    if (protocol == nullptr || !protocol->EnsureOpen()) {
        PromptService::Show(LoadLanguageText("strPortFail"), kCaption, PromptService::Icon::Error);
        return false;
    }
    return true;
}

void StartSequenceStep(void* userData, HartProtocol::CompletionRoutine routine) {
    BusyFlag = true;
    CancelFlag = false;
    if (HartProtocol* protocol = HartProtocol::Instance()) {
        protocol->StartTransaction(userData, routine, CommandSequence.Current());
    }
    ShowOutcome(false, "strCommunication");
}

void ReportSequenceDone() {
    BusyFlag = false;
    ShowOutcome(true, "strOpOK");
}

void ReportSequenceFailed() {
    PromptService::Show(LoadLanguageText("strCommFail"), kCaption,
                        PromptService::Icon::Information);
    BusyFlag = false;
    ShowOutcome(true, "strOpFail");
}

StepOutcome AdvanceSequence(void* userData, HartProtocol::CompletionRoutine routine, int success,
                            OnFailure onFailure, const std::function<void()>& afterStep) {
    if (CancelFlag) {
        return StepOutcome::Cancelled;
    }
    if (success == 0 && onFailure != OnFailure::Continue) {
        if (onFailure == OnFailure::Report) {
            ReportSequenceFailed();
        } else {
            BusyFlag = false;
            ShowOutcome(true, "strOpFail");
        }
        return StepOutcome::Failed;
    }
    if (afterStep) {
        afterStep();
    }
    if (++CommandSequence.index < CommandSequence.count) {
        StartSequenceStep(userData, routine);
        return StepOutcome::Started;
    }
    return StepOutcome::Finished;
}

void CancelSequence() {
    CommandSequence.index = CommandSequence.count;
    CancelFlag = true;
    if (HartProtocol* protocol = HartProtocol::Instance()) {
        protocol->CancelTransaction();
    }
}
