// Benchmark: how late the engine's timers fire against the schedule, over 300
// transactions at real wire timing against the simulated transmitter. The
// transmit and answer windows are the wire timing the modem and transmitter
// rely on, so the figure that matters is the 99th percentile (goal 2 ms).
#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"
#include "cli/SequenceRunner.h"
#include "hart/HartProtocol.h"
#include "tests/bench/Measure.h"
#include "tests/e2e/SimulatorProcess.h"

#include <iostream>

int main() {
    constexpr int kTransactions = 300;
    SimulatorProcess sim(15, {"--timing", "real"});
    if (!sim.Ready()) {
        std::fprintf(stderr, "engine lateness: the simulator did not start\n");
        return 1;
    }
    EventLoop loop;
    ConsolePrompt prompt(std::cerr);
    TimerService::Install(&loop);
    PromptService::Install(&prompt);
    HartProtocol protocol;
    protocol.SetPortNumber(15);
    SequenceRunner runner(loop, prompt);
    int done = 0, failed = 0; // transactions, in operations done and failed
    const auto start = Measure::Clock::now();
    while (done + failed < kTransactions) {
        const bool ok = runner.Run({0, 1, 2}, SequenceRunner::FailureReport::Quiet) ==
                        SequenceRunner::Outcome::Done;
        (ok ? done : failed) += std::max<int>(1, static_cast<int>(runner.StepResults().size()));
    }
    const double seconds = Measure::SecondsSince(start);
    protocol.ClosePort();
    PromptService::Install(nullptr);
    TimerService::Install(nullptr);

    // The loop times every timer it fires against its due time.
    const LatenessStats::Summary late = loop.Lateness();
    std::printf("engine lateness: %d transactions (%d in failed operations), %zu timers, in "
                "%.1f s at real wire timing\n",
                done + failed, failed, late.count, seconds);
    Measure::Report("engine lateness, mean", late.meanMs, "ms", "-");
    Measure::Report("engine lateness, 99th percentile", late.p99Ms, "ms", "<= 2 ms");
    Measure::Report("engine lateness, maximum", late.maxMs, "ms", "-");
}
