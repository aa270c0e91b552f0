#pragma once

#include "cli/CommandContext.h"
#include "pages/PagePlan.h"

#include <string>

// The commands of the command-line tool that act on the output: the D/A
// trim, the fixed loop current and the range from the present input. Each
// runs the output or calibration page's own check, question and sequence.
class OutputCommands {
public:
    explicit OutputCommands(CommandContext context) : m_Context(std::move(context)) {}

    int Trim();
    int Fix();
    int RangeFromInput();

private:
    // Shows a check's refusal and names the input to correct.
    int Refuse(const PagePlan& plan);
    // Asks questionKey (a key of section "String"); false after saying why
    // nothing was sent.
    bool Confirmed(const char* questionKey);
    // Runs the plan; the exit status.
    int Run(const PagePlan& plan, const std::string& done);

    CommandContext m_Context;
};
