#pragma once

#include "cli/LatenessStats.h"
#include "platform/TimerService.h"

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

// The command-line tool's main-thread loop: one-shot timers kept by due time,
// run in due order (ties in start order), and a stop request from SIGINT or
// SIGTERM. Between timers it sleeps at most kMaxSleep, so an interrupt is
// noticed promptly even with no timer pending.
class EventLoop : public TimerService {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kMaxSleep{20};

    EventLoop() = default;
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    TimerId StartOneShot(unsigned milliseconds, std::function<void()> callback) override;
    void Kill(TimerId id) override;
    // Runs due timers for milliseconds; a timer callback may call it again.
    void WaitWithMessages(unsigned milliseconds) override;

    // Runs timers until done() holds (true), or until an interrupt or the
    // deadline (false). done is tested before each timer and each sleep.
    bool RunUntil(const std::function<bool()>& done,
                  std::optional<Clock::time_point> deadline = std::nullopt);

    std::size_t PendingTimers() const { return m_Timers.size(); }
    LatenessStats::Summary Lateness() const { return m_Lateness.Summarise(); }

    // SIGINT and SIGTERM ask the loop to stop; a second one ends the program
    // the default way, so a stuck run can still be killed.
    static void InstallSignalHandlers();
    static void RequestInterrupt();
    static void ClearInterrupt();
    static bool Interrupted();

private:
    struct Timer {
        TimerId id = 0;
        Clock::time_point due;
        std::function<void()> callback;
    };

    // Runs the earliest timer due by now; false when none is.
    bool RunOneDueTimer();
    // Sleeps until limit, the next timer or kMaxSleep from now, whichever is first.
    void SleepAtMost(Clock::time_point limit) const;

    std::vector<Timer> m_Timers;
    TimerId m_nNextId = 0;
    LatenessStats m_Lateness;
};
