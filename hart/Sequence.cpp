#include "hart/Sequence.h"

#include "hart/FailureReason.h"
#include "hart/SequenceDisplay.h"
#include "platform/DebugTrace.h"
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

namespace {

// The reason as the box's second line: only with a language file that has
// the reason texts, begun with a capital and ended with a full stop.
std::string ReasonLine(const TransactionResult& result) {
    std::string line = FailureReason::Describe(
        result, [](const Meaning& meaning) { return LoadLanguageText(meaning.key); });
    if (line.empty()) {
        return line;
    }
    if (line[0] >= 'a' && line[0] <= 'z') {
        line[0] = static_cast<char>(line[0] - 'a' + 'A');
    }
    const char last = line.back();
    if ((last >= 'a' && last <= 'z') || (last >= 'A' && last <= 'Z') ||
        (last >= '0' && last <= '9') || last == ')') {
        line += '.';
    }
    return line;
}

} // namespace

void ReportSequenceFailed() {
    std::string text = LoadLanguageText("strCommFail");
    if (const HartProtocol* protocol = HartProtocol::Instance()) {
        const TransactionResult& result = protocol->LastResult();
        DebugTrace("operation failed: %s",
                   FailureReason::Describe(result, FailureReason::English).c_str());
        if (const std::string reason = ReasonLine(result); !reason.empty()) {
            text += "\n" + reason;
        }
    }
    PromptService::Show(text, kCaption, PromptService::Icon::Information);
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
