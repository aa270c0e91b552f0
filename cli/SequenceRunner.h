#pragma once

#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"
#include "hart/TransactionResult.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Runs one operation through the sequence layer the way a page does: the
// port check, then each command of the list in turn, stopping at the first
// that fails. It returns once the operation has ended.
class SequenceRunner {
public:
    enum class Outcome { Done, Failed, Refused, Interrupted };
    // Quiet: a failed step ends the operation without the failure message,
    // for callers that report it in their own words (search, trend).
    enum class FailureReport { Show, Quiet };
    // Noted: a step after the first (command 0) that fails is only noted in
    // StepResults and the operation goes on, for a report of what could be read.
    enum class StepFailure { EndsOperation, Noted };

    SequenceRunner(EventLoop& loop, ConsolePrompt& prompt) : m_Loop(loop), m_Prompt(prompt) {}

    Outcome Run(std::initializer_list<std::uint8_t> commands,
                FailureReport report = FailureReport::Show,
                StepFailure stepFailure = StepFailure::EndsOperation);

    // How each step of the last run ended, in order.
    const std::vector<TransactionResult>& StepResults() const { return m_Results; }
    // Why a transaction failed, in the language file's words or English.
    static std::string Reason(const TransactionResult& result);

private:
    static void OnStep(void* userData, int success, std::uint8_t command);

    EventLoop& m_Loop;
    ConsolePrompt& m_Prompt;
    FailureReport m_Report = FailureReport::Show;
    StepFailure m_StepFailure = StepFailure::EndsOperation;
    std::vector<TransactionResult> m_Results;
    bool m_bFinished = false;
    bool m_bSucceeded = false;
};
