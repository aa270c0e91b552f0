#pragma once

#include "platform/TimerService.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

// A timer service in virtual time: time stands still until the test runs it,
// then jumps from one due timer to the next, so schedules are exact.
class VirtualClock : public TimerService {
public:
    VirtualClock() { Install(this); }
    ~VirtualClock() override { Install(nullptr); }

    TimerId StartOneShot(unsigned milliseconds, std::function<void()> callback) override {
        m_Timers.push_back({m_nNow + milliseconds, ++m_nNextId, std::move(callback)});
        return m_nNextId;
    }

    void Kill(TimerId id) override {
        std::erase_if(m_Timers, [id](const Timer& t) { return t.id == id; });
    }

    void WaitWithMessages(unsigned milliseconds) override {
        ++m_nWaits;
        RunUntil(m_nNow + milliseconds);
    }

    // Fires every timer due up to time, in order of due time, then of start.
    void RunUntil(std::uint64_t time) {
        for (;;) {
            auto next = std::min_element(m_Timers.begin(), m_Timers.end(),
                                         [](const Timer& a, const Timer& b) {
                                             return a.due != b.due ? a.due < b.due : a.id < b.id;
                                         });
            if (next == m_Timers.end() || next->due > time) {
                break;
            }
            Timer timer = std::move(*next);
            m_Timers.erase(next);
            m_nNow = std::max(m_nNow, timer.due);
            timer.callback();
        }
        m_nNow = std::max(m_nNow, time);
    }

    void RunFor(std::uint64_t milliseconds) { RunUntil(m_nNow + milliseconds); }
    std::uint64_t Now() const { return m_nNow; }
    std::uint64_t NowMs() const override { return m_nNow; }
    // Virtual calendar time starts at 2026-01-01 00:00:00 UTC.
    std::int64_t NowSeconds() const override {
        return kEpoch + static_cast<std::int64_t>(m_nNow / 1000);
    }
    static constexpr std::int64_t kEpoch = 1767225600;
    std::size_t PendingTimers() const { return m_Timers.size(); }
    int Waits() const { return m_nWaits; }

private:
    struct Timer {
        std::uint64_t due;
        TimerId id;
        std::function<void()> callback;
    };
    std::vector<Timer> m_Timers;
    std::uint64_t m_nNow = 0;
    TimerId m_nNextId = 0;
    int m_nWaits = 0;
};
