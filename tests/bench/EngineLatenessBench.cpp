// Benchmark: how late the engine's timers fire against the schedule, over 300
// transactions at real wire timing against the simulated transmitter. The
// transmit and answer windows are the wire timing the modem and transmitter
// rely on, so the figure that matters is the 99th percentile (goal 2 ms).
#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"
#include "cli/LatenessStats.h"
#include "cli/SequenceRunner.h"
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "tests/e2e/SimulatorProcess.h"

#include <chrono>
#include <cstdio>
#include <iostream>

int main() {
    constexpr int kTransactions = 300;
    constexpr double kGoalP99Ms = 2.0;
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
    int done = 0;
    int failed = 0;
    const auto start = std::chrono::steady_clock::now();
    while (done + failed < kTransactions) {
        const bool ok = runner.Run({0, 1, 2}, SequenceRunner::FailureReport::Quiet) ==
                        SequenceRunner::Outcome::Done;
        const int steps = static_cast<int>(runner.StepResults().size());
        (ok ? done : failed) += steps > 0 ? steps : 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const LatenessStats::Summary lateness = loop.Lateness();
    protocol.ClosePort();
    PromptService::Install(nullptr);
    TimerService::Install(nullptr);

    std::printf("engine lateness: %d transactions (%d in failed operations) in %.1f s at real "
                "wire timing\n",
                done + failed, failed, seconds);
    std::printf("engine lateness: %s\n", LatenessStats::Describe(lateness).c_str());
    std::printf("engine lateness: goal p99 <= %.1f ms: %s\n", kGoalP99Ms,
                lateness.p99Ms <= kGoalP99Ms ? "met" : "MISSED");
    return 0;
}
