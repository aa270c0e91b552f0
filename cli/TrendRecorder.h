#pragma once

#include "cli/EventLoop.h"
#include "cli/SequenceRunner.h"
#include "hart/DeviceRecord.h"

#include <chrono>
#include <iosfwd>
#include <optional>

// Samples PV, loop current and percent of range at a fixed period and writes
// one CSV row per sample, flushed at once so a pipe sees each sample live.
// Sample starts keep to the period's grid; a sample that takes longer than the
// period is followed by the next at once.
class TrendRecorder {
public:
    struct Result {
        int samples = 0;
        int failed = 0;
    };

    TrendRecorder(EventLoop& loop, SequenceRunner& runner, const DeviceRecord& record,
                  std::ostream& out, std::ostream& err)
        : m_Loop(loop), m_Runner(runner), m_Record(record), m_Out(out), m_Err(err) {}

    // Records until duration has passed (none: until interrupted) or the
    // output is closed.
    Result Record(std::chrono::seconds period, std::optional<std::chrono::seconds> duration);

private:
    // Waits for start with the loop's timers; false when interrupted first
    // or when end comes before start.
    bool WaitUntil(EventLoop::Clock::time_point start,
                   std::optional<EventLoop::Clock::time_point> end);

    EventLoop& m_Loop;
    SequenceRunner& m_Runner;
    const DeviceRecord& m_Record;
    std::ostream& m_Out;
    std::ostream& m_Err;
};
