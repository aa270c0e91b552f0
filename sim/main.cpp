#include "sim/PortLink.h"
#include "sim/PtyEndpoint.h"
#include "sim/SimOptions.h"
#include "sim/Simulator.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::atomic<bool> g_stop{false};

void RequestStop(int) {
    g_stop.store(true);
}

void InstallSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 0 ? argv[0] : "calora-sim";
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    SimOptions options;
    std::string error;
    if (!SimOptions::Parse(arguments, &options, &error)) {
        std::cerr << "calora-sim: " << error << "\nTry '" << program << " --help'.\n";
        return 2;
    }
    if (options.m_help) {
        std::cout << SimOptions::Usage(program);
        return 0;
    }

    Simulator simulator(options, &std::cerr);
    if (!simulator.LoadState(&error)) {
        std::cerr << "calora-sim: " << error << '\n';
        return 2;
    }
    PtyEndpoint endpoint;
    if (!endpoint.Open(&error)) {
        std::cerr << "calora-sim: " << error << '\n';
        return 1;
    }
    InstallSignalHandlers();
    PortLink link;
    if (!link.Publish(PortLink::DefaultFolder(), options.m_com, endpoint.DevicePath(), &error)) {
        std::cerr << "calora-sim: " << error << '\n';
        return 1;
    }
    std::cout << "COM" << link.Com() << " ready on " << endpoint.DevicePath() << std::endl;

    simulator.Run(endpoint, g_stop);
    return 0;
}
