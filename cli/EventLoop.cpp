#include "cli/EventLoop.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <thread>

namespace {

// Written by the signal handler; lock-free, so async-signal-safe.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnStopSignal(int) {
    g_interrupted.store(true);
}

} // namespace

void EventLoop::InstallSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void EventLoop::RequestInterrupt() {
    g_interrupted.store(true);
}

void EventLoop::ClearInterrupt() {
    g_interrupted.store(false);
}

bool EventLoop::Interrupted() {
    return g_interrupted.load();
}

TimerService::TimerId EventLoop::StartOneShot(unsigned milliseconds,
                                              std::function<void()> callback) {
    const TimerId id = ++m_nNextId;
    m_Timers.push_back(
        {id, Clock::now() + std::chrono::milliseconds(milliseconds), std::move(callback)});
    return id;
}

void EventLoop::Kill(TimerId id) {
    std::erase_if(m_Timers, [id](const Timer& timer) { return timer.id == id; });
}

bool EventLoop::RunOneDueTimer() {
    const auto earliest =
        std::min_element(m_Timers.begin(), m_Timers.end(), [](const Timer& a, const Timer& b) {
            return a.due != b.due ? a.due < b.due : a.id < b.id;
        });
    const Clock::time_point now = Clock::now();
    if (earliest == m_Timers.end() || earliest->due > now) {
        return false;
    }
    // Taken out before it runs: the callback may start, kill or wait for timers.
    Timer timer = std::move(*earliest);
    m_Timers.erase(earliest);
    m_Lateness.Add(now - timer.due);
    if (timer.callback) {
        timer.callback();
    }
    return true;
}

void EventLoop::SleepAtMost(Clock::time_point limit) const {
    Clock::time_point until = std::min(limit, Clock::now() + kMaxSleep);
    for (const Timer& timer : m_Timers) {
        until = std::min(until, timer.due);
    }
    std::this_thread::sleep_until(until);
}

void EventLoop::WaitWithMessages(unsigned milliseconds) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (true) {
        while (RunOneDueTimer()) {
        }
        if (Clock::now() >= end) {
            return;
        }
        SleepAtMost(end);
    }
}

bool EventLoop::RunUntil(const std::function<bool()>& done,
                         std::optional<Clock::time_point> deadline) {
    while (true) {
        if (done()) {
            return true;
        }
        if (Interrupted() || (deadline && Clock::now() >= *deadline)) {
            return false;
        }
        if (RunOneDueTimer()) {
            continue;
        }
        SleepAtMost(deadline.value_or(Clock::time_point::max()));
    }
}
