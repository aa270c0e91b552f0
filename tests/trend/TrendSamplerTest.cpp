#include "trend/TrendSampler.h"

#include "tests/hart/EngineFixture.h"
#include "tests/trend/TrendTransmitter.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Commands = std::vector<std::uint8_t>;

// Records what the sampler tells its listener, in order.
class TrendSamplerTest : public EngineFixture, public TrendSampler::Listener {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        m_Protocol.SetLinkOpener(
            [this](int, SerialLink::BytesCallback onBytes) -> std::unique_ptr<SerialLink> {
                auto link = std::make_unique<FakeLink>(m_Clock, std::move(onBytes));
                m_Transmitter.Attach(*link, m_Clock);
                return link;
            });
        g_pMainDialog = &m_Display;
    }

    void OnRangeRead() override { m_Events.push_back("range"); }
    void OnSampleRecorded(TrendSampler::Curve curve) override {
        m_Events.push_back(std::array{"pv", "current", "percent"}.at(static_cast<int>(curve)));
    }
    void OnCycleComplete() override {
        m_Events.push_back("cycle");
        m_CycleEnds.push_back(m_Clock.Now());
    }
    void OnRecordingEnded() override { m_Events.push_back("ended"); }

    // Runs virtual time until count cycles have ended since the last call.
    void RunCycles(std::size_t count) {
        const std::size_t until = m_CycleEnds.size() + count;
        while (m_CycleEnds.size() < until && m_Clock.PendingTimers() > 0) {
            m_Clock.RunFor(100);
        }
        ASSERT_EQ(m_CycleEnds.size(), until);
    }

    TrendTransmitter m_Transmitter;
    TrendCurves m_Curves;
    std::vector<std::string> m_Events;
    std::vector<std::uint64_t> m_CycleEnds;
    int m_nPeriod = 2;
    TrendSampler m_Sampler{m_Protocol.Device(), m_Curves, *this, [this] { return m_nPeriod; }};
};

} // namespace

TEST_F(TrendSamplerTest, LaterCyclesSkipIdentityAndRangeStartAPeriodAfterTheLastAndStopAtOnce) {
    // Mode, period, commands sent in three cycles, commands in each later
    // cycle, and the samples of each curve.
    for (const auto& [mode, period, sent, later, pv, current, percent] :
         {std::tuple{TrendSampler::kAll, 2u, Commands{0, 15, 1, 2, 1, 2, 1, 2}, 2u, 3u, 3u, 3u},
          {TrendSampler::kPv, 1, {0, 15, 1, 1, 1}, 1, 3, 0, 0},
          {TrendSampler::kCurrent, 1800, {0, 2, 2, 2}, 1, 0, 3, 0},
          {TrendSampler::kPercent, 2, {0, 2, 2, 2}, 1, 0, 0, 3}}) {
        m_nPeriod = static_cast<int>(period);
        m_Transmitter.m_Requests.clear();
        m_Curves.RemoveAllSamples();
        m_CycleEnds.clear();
        ASSERT_TRUE(m_Sampler.Start(mode));
        RunCycles(3);
        m_Sampler.Stop();
        EXPECT_EQ(m_Clock.PendingTimers(), 0u) << "no tick is left to start a cycle";
        BusyFlag = false; // as the main window's Stop
        m_Clock.RunFor(10000);
        ASSERT_EQ(m_Transmitter.Commands(), sent) << mode;
        EXPECT_EQ(
            std::tuple(m_Curves.pv.Count(), m_Curves.current.Count(), m_Curves.percent.Count()),
            std::tuple(pv, current, percent))
            << mode;
        const std::uint64_t second = m_Transmitter.m_Requests[sent.size() - 2 * later].time;
        EXPECT_EQ(second - m_CycleEnds[0], period * 1000) << mode;
    }
}

TEST_F(TrendSamplerTest, AllReadsTheRangeThenRecordsEachValueWithItsTime) {
    ASSERT_TRUE(m_Sampler.Start(TrendSampler::kAll));
    RunCycles(1);
    ASSERT_EQ(m_Events, (std::vector<std::string>{"range", "pv", "current", "percent", "cycle"}));
    EXPECT_EQ(std::tuple(m_Curves.pvLow, m_Curves.pvHigh, m_Curves.pvUnit),
              std::tuple(-50.0, 300.0, "\u00B0C"));
    // PV is taken when its answer arrives, current and percent together at
    // the end of the cycle, in the timer service's calendar time.
    const auto seconds = [](auto ms) { return std::int32_t(VirtualClock::kEpoch + ms / 1000); };
    const std::int32_t pvTime = seconds(m_Transmitter.TimeOf(2, 0));
    const std::int32_t end = seconds(m_CycleEnds[0]);
    EXPECT_EQ(
        std::tuple(m_Curves.pv.At(0), m_Curves.current.At(0), m_Curves.percent.At(0)),
        std::tuple(TrendSample{21.5, pvTime}, TrendSample{12.0, end}, TrendSample{50.0, end}));
    // Between cycles the operation stays busy and other operations are refused.
    EXPECT_EQ(std::pair(BusyFlag, bool(m_Display.m_Progress.back())), std::pair(true, true));
}

TEST_F(TrendSamplerTest, AFailedTransactionOrACancelEndsTheRecordingKeepingItsSamples) {
    ASSERT_TRUE(m_Sampler.Start(TrendSampler::kAll));
    RunCycles(1);
    m_Transmitter.m_Silent = {2};
    m_Clock.RunFor(120000);
    EXPECT_EQ(std::pair(m_Events.back(), BusyFlag), std::pair(std::string("ended"), false));
    EXPECT_EQ(m_Prompt.m_Shown.back().text.substr(0, 9), "No answer");
    EXPECT_EQ(std::pair(m_Curves.pv.Count(), m_Curves.current.Count()),
              std::pair(std::size_t{2}, std::size_t{1}))
        << "the PV of the failed cycle was answered";
    const std::size_t sent = m_Transmitter.m_Requests.size();
    m_Clock.RunFor(60000);
    EXPECT_EQ(m_Transmitter.m_Requests.size(), sent) << "nothing follows";

    // The sequence layer's Stop alone: the next tick ends the recording and
    // frees the operation.
    m_Transmitter.m_Silent.clear();
    ASSERT_TRUE(m_Sampler.Start(TrendSampler::kPercent));
    RunCycles(2);
    CancelSequence();
    m_Clock.RunFor(1000);
    EXPECT_EQ(std::tuple(m_Sampler.IsRecording(), BusyFlag, m_Events.back()),
              std::tuple(false, false, "ended"));
}

TEST_F(TrendSamplerTest, ARefusedStartChangesNothing) {
    m_Protocol.SetLinkOpener(
        [](int, SerialLink::BytesCallback) -> std::unique_ptr<SerialLink> { return nullptr; });
    for (bool busy : {true, false}) {
        BusyFlag = busy;
        EXPECT_FALSE(m_Sampler.Start(TrendSampler::kAll));
        EXPECT_EQ(m_Prompt.m_Shown.back().text, busy ? "Busy" : "Port failed");
    }
    m_Clock.RunFor(10000);
    EXPECT_EQ(std::pair(m_Sampler.IsRecording(), m_Events.empty()), std::pair(false, true));
}
