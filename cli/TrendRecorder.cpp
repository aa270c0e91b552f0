#include "cli/TrendRecorder.h"

#include "cli/MessageText.h"
#include "cli/ReportFormat.h"

#include <ctime>
#include <ostream>

bool TrendRecorder::WaitUntil(EventLoop::Clock::time_point start,
                              std::optional<EventLoop::Clock::time_point> end) {
    if (end && start >= *end) {
        return false;
    }
    const auto now = EventLoop::Clock::now();
    if (start <= now) {
        return !EventLoop::Interrupted();
    }
    bool due = false;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(start - now);
    const TimerService::TimerId id =
        m_Loop.StartOneShot(static_cast<unsigned>(wait.count()), [&due] { due = true; });
    const bool reached = m_Loop.RunUntil([&due] { return due; });
    m_Loop.Kill(id);
    return reached;
}

TrendRecorder::Result TrendRecorder::Record(std::chrono::seconds period,
                                            std::optional<std::chrono::seconds> duration) {
    Result result;
    m_Out << ReportFormat::TrendCsvHeader() << std::endl;
    const auto begin = EventLoop::Clock::now();
    std::optional<EventLoop::Clock::time_point> end;
    if (duration) {
        end = begin + *duration;
    }
    auto start = begin;
    while (m_Out && WaitUntil(start, end)) {
        const std::time_t stamp = std::time(nullptr);
        const SequenceRunner::Outcome outcome =
            m_Runner.Run({0, 15, 1, 2}, SequenceRunner::FailureReport::Quiet);
        if (outcome == SequenceRunner::Outcome::Interrupted) {
            break;
        }
        ++result.samples;
        if (outcome == SequenceRunner::Outcome::Done) {
            m_Out << ReportFormat::TrendCsvRow(stamp, m_Record) << std::endl;
        } else {
            ++result.failed;
            // A refusal has been shown already with its reason.
            m_Err << "calora-cli: sample at " << ReportFormat::LocalTime(stamp) << " failed";
            if (outcome == SequenceRunner::Outcome::Failed) {
                m_Err << ": " << MessageText::Get("strCommFail");
            }
            m_Err << std::endl;
        }
        start += period;
        const auto now = EventLoop::Clock::now();
        if (start < now) {
            start = now; // overran the period: the next sample starts at once
        }
    }
    return result;
}
