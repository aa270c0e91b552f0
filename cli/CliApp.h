#pragma once

#include "cli/CliOptions.h"
#include "cli/ConsoleDisplay.h"
#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"
#include "cli/SequenceRunner.h"
#include "hart/HartProtocol.h"

#include <iosfwd>
#include <string>
#include <vector>

// The command-line tool: installs its timer, prompt and display services,
// owns the one protocol object and carries out one command.
class CliApp {
public:
    CliApp(std::ostream& out, std::ostream& err);
    ~CliApp();
    CliApp(const CliApp&) = delete;
    CliApp& operator=(const CliApp&) = delete;

    // The exit status: 0 success, 1 refused or failed, 2 usage error.
    int Run(const std::string& program, const std::vector<std::string>& arguments);

private:
    bool ChooseLanguage();
    int Ports();
    int Search();
    int Get();
    int Info();
    // The device status line of the last answer; "" when no bit is set.
    std::string LastDeviceStatus() const;
    int Trend();
    // The configuration and output commands, each family in its own class.
    int Configuration();
    int Tdd2Csv();
    // Exit status for an operation that did not succeed, with a message.
    int ReportUnsuccessful(SequenceRunner::Outcome outcome);

    std::ostream& m_Out;
    std::ostream& m_Err;
    CliOptions m_Options;
    // Declared before the protocol object, which kills its timer on the way out.
    EventLoop m_Loop;
    ConsolePrompt m_Prompt;
    ConsoleDisplay m_Display;
    HartProtocol m_Protocol;
    SequenceRunner m_Runner;
};
