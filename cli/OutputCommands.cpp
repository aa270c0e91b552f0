#include "cli/OutputCommands.h"

#include "cli/ConfigReport.h"
#include "cli/MessageText.h"
#include "hart/HartProtocol.h"
#include "pages/CalibrationDecisions.h"
#include "pages/OutputDecisions.h"
#include "platform/Formatting.h"

#include <ostream>

namespace {

constexpr const char* kName = "calora-cli";

} // namespace

int OutputCommands::Refuse(const PagePlan& plan) {
    PromptService::Show(MessageText::Get(plan.refusal->messageKey), "HART", plan.refusal->icon);
    m_Context.err << kName << ": refused by the check of "
                  << ConfigReport::FieldName(plan.refusal->focus) << "; nothing was sent"
                  << std::endl;
    return 2;
}

bool OutputCommands::Confirmed(const char* questionKey) {
    Confirmation& confirmation = m_Context.confirmation;
    if (!confirmation.CanAsk()) {
        m_Context.err << kName << ": " << Confirmation::CannotAskText() << std::endl;
        return false;
    }
    if (!confirmation.Ask(MessageText::Get(questionKey))) {
        m_Context.err << kName << ": not confirmed; nothing was sent" << std::endl;
        return false;
    }
    return true;
}

int OutputCommands::Run(const PagePlan& plan, const std::string& done) {
    const SequenceRunner::Outcome outcome = m_Context.runner.Run(plan.commands);
    if (outcome == SequenceRunner::Outcome::Failed) {
        return 1;
    }
    if (outcome != SequenceRunner::Outcome::Done) {
        return m_Context.reportUnsuccessful(outcome);
    }
    m_Context.out << done << std::endl;
    return 0;
}

int OutputCommands::Trim() {
    const CliOptions& options = m_Context.options;
    // The readings are checked before the question, so that a typing error is
    // not confirmed first.
    const PagePlan plan = PlanTrim(options.m_at4, options.m_at20, m_Context.protocol.Device());
    if (plan.Refused()) {
        return Refuse(plan);
    }
    if (!Confirmed(TrimQuestion)) {
        return m_Context.confirmation.CanAsk() ? 1 : 2;
    }
    return Run(plan, "output trimmed with " + options.m_at4 + " mA and " + options.m_at20 +
                         " mA; the loop current is no longer fixed");
}

int OutputCommands::Fix() {
    const CliOptions& options = m_Context.options;
    DeviceRecord& device = m_Context.protocol.Device();
    if (options.m_release) {
        return Run(PlanFixCurrent(0.0f, device), "the loop current is no longer fixed");
    }
    const float current = TypedCurrent(options.m_operands.front());
    const PagePlan plan = PlanSendCurrent(current, device);
    if (plan.Refused()) {
        return Refuse(plan);
    }
    return Run(plan,
               "loop current fixed at " + FormatFixed(current, 3) + " mA; 'fix --release' ends it");
}

int OutputCommands::RangeFromInput() {
    const RangeEnd end =
        m_Context.options.m_operands.front() == "lower" ? RangeEnd::Lower : RangeEnd::Upper;
    if (!Confirmed(RangeFromInputQuestion(end))) {
        return m_Context.confirmation.CanAsk() ? 1 : 2;
    }
    return Run(PlanRangeFromInput(end),
               end == RangeEnd::Lower ? "the present input is now the lower range value (4 mA)"
                                      : "the present input is now the upper range value (20 mA)");
}
