#include "cli/CliApp.h"
#include "cli/EventLoop.h"

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // A closed output pipe ends a trend through the stream state, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    EventLoop::InstallSignalHandlers();
    const std::string program = argc > 0 ? argv[0] : "calora-cli";
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    CliApp app(std::cout, std::cerr);
    return app.Run(program, arguments);
}
