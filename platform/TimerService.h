#pragma once

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

    static void Install(TimerService* service) { s_pCurrent = service; }
    static TimerService* Current() { return s_pCurrent; }

private:
    inline static TimerService* s_pCurrent = nullptr;
};
