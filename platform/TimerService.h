#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

// One-shot timers on the user-interface thread, and a wait that keeps that
// thread's events flowing. The protocol engine never reads a clock or starts a
// timer itself: the host installs its service (Qt timers in the window, an
// event loop in the command-line tool, a virtual clock in the tests).
class TimerService {
public:
    using TimerId = std::uint64_t;

    virtual ~TimerService() = default;

    // Calls callback once, on the user-interface thread, after milliseconds.
    virtual TimerId StartOneShot(unsigned milliseconds, std::function<void()> callback) = 0;
    // Cancels a timer that has not fired yet; unknown or fired ids are ignored.
    virtual void Kill(TimerId id) = 0;
    // Returns after milliseconds, dispatching events and due timers meanwhile,
    // so callers must tolerate re-entry of their own handlers.
    virtual void WaitWithMessages(unsigned milliseconds) = 0;

    // The time sources of the program, so that tests can run them virtually:
    // milliseconds since the service started (a steady count for traces and
    // lateness), and the calendar time in seconds since 1970-01-01 UTC (the
    // time stamps of recorded samples).
    virtual std::uint64_t NowMs() const {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - m_Started)
                                              .count());
    }
    virtual std::int64_t NowSeconds() const {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }

    static void Install(TimerService* service) { s_pCurrent = service; }
    static TimerService* Current() { return s_pCurrent; }

private:
    std::chrono::steady_clock::time_point m_Started = std::chrono::steady_clock::now();
    inline static TimerService* s_pCurrent = nullptr;
};
