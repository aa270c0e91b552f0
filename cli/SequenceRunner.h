#pragma once

#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"

#include <cstdint>
#include <initializer_list>

// Runs one operation through the sequence layer the way a page does: the
// port check, then each command of the list in turn, stopping at the first
// that fails. It returns once the operation has ended.
class SequenceRunner {
public:
    enum class Outcome { Done, Failed, Refused, Interrupted };
    // Quiet: a failed step ends the operation without the failure message,
    // for callers that report it in their own words (search, trend).
    enum class FailureReport { Show, Quiet };

    SequenceRunner(EventLoop& loop, ConsolePrompt& prompt) : m_Loop(loop), m_Prompt(prompt) {}

    Outcome Run(std::initializer_list<std::uint8_t> commands,
                FailureReport report = FailureReport::Show);

private:
    static void OnStep(void* userData, int success, std::uint8_t command);

    EventLoop& m_Loop;
    ConsolePrompt& m_Prompt;
    FailureReport m_Report = FailureReport::Show;
    bool m_bFinished = false;
    bool m_bSucceeded = false;
};
