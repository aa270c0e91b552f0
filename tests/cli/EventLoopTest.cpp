#include "cli/EventLoop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <thread>

using namespace std::chrono_literals;

class EventLoopTest : public ::testing::Test {
protected:
    void TearDown() override { EventLoop::ClearInterrupt(); }

    EventLoop m_Loop;
    std::string m_Trace;
};

TEST_F(EventLoopTest, TimersFireInDueOrderKilledOnesNeverAndEachIsTimedForLateness) {
    m_Loop.StartOneShot(30, [this] { m_Trace += "c"; });
    m_Loop.StartOneShot(10, [this] { m_Trace += "a"; });
    const auto killed = m_Loop.StartOneShot(20, [this] { m_Trace += "x"; });
    m_Loop.StartOneShot(10, [this] { m_Trace += "b"; });               // same due time: start order
    m_Loop.StartOneShot(5, [] { std::this_thread::sleep_for(40ms); }); // a slow handler
    m_Loop.Kill(killed);
    const auto start = EventLoop::Clock::now();
    m_Loop.WaitWithMessages(55);
    EXPECT_GE(EventLoop::Clock::now() - start, 55ms);
    EXPECT_EQ(m_Trace, "abc");
    EXPECT_EQ(m_Loop.PendingTimers(), 0u);
    // The timers held up behind the slow handler were late by most of its time.
    EXPECT_EQ(m_Loop.Lateness().count, 4u);
    EXPECT_GE(m_Loop.Lateness().maxMs, 34.0);
}

TEST_F(EventLoopTest, TimerCallbackMayWaitAndOtherTimersRunMeanwhile) {
    m_Loop.StartOneShot(5, [this] {
        m_Trace += "[";
        m_Loop.StartOneShot(10, [this] { m_Trace += "inner"; });
        m_Loop.WaitWithMessages(30);
        m_Trace += "]";
    });
    m_Loop.StartOneShot(20, [this] { m_Trace += "other"; });
    bool done = false;
    m_Loop.StartOneShot(60, [&done] { done = true; });
    EXPECT_TRUE(m_Loop.RunUntil([&done] { return done; }));
    EXPECT_EQ(m_Trace, "[innerother]");
}

TEST_F(EventLoopTest, RunUntilEndsOnInterruptSignalAndDeadline) {
    bool fired = false;
    m_Loop.StartOneShot(500, [&fired] { fired = true; });
    const auto start = EventLoop::Clock::now();
    EXPECT_FALSE(m_Loop.RunUntil([] { return false; }, start + 30ms));
    EXPECT_GE(EventLoop::Clock::now() - start, 30ms);
    EXPECT_FALSE(fired);
    EXPECT_EQ(m_Loop.PendingTimers(), 1u);

    // Without the interrupt the loop would run on for ever: returning is the proof.
    m_Loop.StartOneShot(10, [] { EventLoop::RequestInterrupt(); });
    EXPECT_FALSE(m_Loop.RunUntil([] { return false; }));
    EXPECT_TRUE(EventLoop::Interrupted());

    EventLoop::ClearInterrupt();
    EventLoop::InstallSignalHandlers();
    struct sigaction original {};
    std::raise(SIGTERM);
    EXPECT_FALSE(m_Loop.RunUntil([] { return false; }));
    // The handler resets itself, so a second signal would end the program.
    sigaction(SIGTERM, nullptr, &original);
    EXPECT_EQ(original.sa_handler, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

TEST(LatenessStats, SummaryOfKnownLateness) {
    LatenessStats stats;
    for (int i = 0; i < 98; ++i) {
        stats.Add(1ms);
    }
    stats.Add(2ms);
    stats.Add(3s); // beyond the buckets: counted in mean and maximum
    EXPECT_EQ(LatenessStats::Describe(stats.Summarise()),
              "timers: 100 fired, late by mean 31.000 ms, p99 2.010 ms, max 3000.000 ms");

    LatenessStats few;
    few.Add(250us);
    few.Add(-5ms); // a clock step backwards counts as on time; p99 is never above the maximum
    EXPECT_EQ(LatenessStats::Describe(few.Summarise()),
              "timers: 2 fired, late by mean 0.125 ms, p99 0.250 ms, max 0.250 ms");
}
