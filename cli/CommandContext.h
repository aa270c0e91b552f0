#pragma once

#include "cli/CliOptions.h"
#include "cli/Confirmation.h"
#include "cli/SequenceRunner.h"
#include "hart/HartProtocol.h"

#include <functional>
#include <iosfwd>

// What a family of commands of the command-line tool works with: the options,
// the protocol object, the runner of operations, the confirmation, the two
// output streams, and the tool's report of an operation that could not run
// (port unusable, interrupted), which gives the exit status.
struct CommandContext {
    const CliOptions& options;
    HartProtocol& protocol;
    SequenceRunner& runner;
    Confirmation& confirmation;
    std::ostream& out;
    std::ostream& err;
    std::function<int(SequenceRunner::Outcome)> reportUnsuccessful;
};
