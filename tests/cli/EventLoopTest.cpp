#include "cli/EventLoop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

class EventLoopTest : public ::testing::Test {
protected:
    void SetUp() override { EventLoop::ClearInterrupt(); }
    void TearDown() override { EventLoop::ClearInterrupt(); }

    EventLoop m_Loop;
    std::string m_Trace;
};

} // namespace

TEST_F(EventLoopTest, TimersFireInDueOrderAndKilledOnesNever) {
    m_Loop.StartOneShot(30, [this] { m_Trace += "c"; });
    m_Loop.StartOneShot(10, [this] { m_Trace += "a"; });
    const auto killed = m_Loop.StartOneShot(20, [this] { m_Trace += "x"; });
    m_Loop.StartOneShot(10, [this] { m_Trace += "b"; }); // same due time: start order
    m_Loop.Kill(killed);
    m_Loop.Kill(9999); // unknown ids are ignored
    const auto start = EventLoop::Clock::now();
    m_Loop.WaitWithMessages(45);
    EXPECT_GE(EventLoop::Clock::now() - start, 45ms);
    EXPECT_EQ(m_Trace, "abc");
    EXPECT_EQ(m_Loop.PendingTimers(), 0u);
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

TEST_F(EventLoopTest, RunUntilEndsOnInterruptAndOnDeadline) {
    // Without the interrupt the loop would run on for ever: returning is the proof.
    m_Loop.StartOneShot(10, [] { EventLoop::RequestInterrupt(); });
    EXPECT_FALSE(m_Loop.RunUntil([] { return false; }));
    EXPECT_TRUE(EventLoop::Interrupted());

    EventLoop::ClearInterrupt();
    bool fired = false;
    m_Loop.StartOneShot(500, [&fired] { fired = true; });
    const auto again = EventLoop::Clock::now();
    EXPECT_FALSE(m_Loop.RunUntil([] { return false; }, again + 30ms));
    EXPECT_GE(EventLoop::Clock::now() - again, 30ms);
    EXPECT_FALSE(fired);
    EXPECT_EQ(m_Loop.PendingTimers(), 1u);
}

TEST_F(EventLoopTest, SignalHandlerInterruptsAnIdleLoop) {
    EventLoop::InstallSignalHandlers();
    struct sigaction original {};
    sigaction(SIGTERM, nullptr, &original);
    EXPECT_NE(original.sa_handler, SIG_DFL);
    std::raise(SIGTERM);
    EXPECT_FALSE(m_Loop.RunUntil([] { return false; }));
    // The handler resets itself, so a second signal would end the program.
    sigaction(SIGTERM, nullptr, &original);
    EXPECT_EQ(original.sa_handler, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

TEST_F(EventLoopTest, MeasuresHowLateTimersFire) {
    EXPECT_EQ(m_Loop.Lateness().count, 0u);
    m_Loop.StartOneShot(0, [] {});
    m_Loop.StartOneShot(5, [] { std::this_thread::sleep_for(40ms); }); // a slow handler
    m_Loop.StartOneShot(5, [] {}); // held up 40 ms behind the one before it
    m_Loop.StartOneShot(50, [] {});
    m_Loop.WaitWithMessages(60);
    const LatenessStats::Summary summary = m_Loop.Lateness();
    EXPECT_EQ(summary.count, 4u);
    EXPECT_GE(summary.maxMs, 39.0);
}

TEST(LatenessStats, SummaryOfKnownLateness) {
    LatenessStats stats;
    for (int i = 0; i < 98; ++i) {
        stats.Add(1ms);
    }
    stats.Add(2ms);
    stats.Add(3s); // beyond the buckets: counted in mean and maximum
    LatenessStats::Summary summary = stats.Summarise();
    EXPECT_EQ(summary.count, 100u);
    EXPECT_NEAR(summary.meanMs, (98 * 1.0 + 2.0 + 3000.0) / 100, 1e-9);
    EXPECT_NEAR(summary.p99Ms, 2.0, 0.011);
    EXPECT_DOUBLE_EQ(summary.maxMs, 3000.0);
    EXPECT_EQ(LatenessStats::Describe(summary),
              "timers: 100 fired, late by mean 31.000 ms, p99 2.010 ms, max 3000.000 ms");

    LatenessStats few;
    few.Add(250us);
    few.Add(-5ms); // a clock step backwards counts as on time
    summary = few.Summarise();
    EXPECT_NEAR(summary.p99Ms, 0.25, 1e-9); // never above the maximum
    EXPECT_NEAR(summary.meanMs, 0.125, 1e-9);
}
