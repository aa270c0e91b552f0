#pragma once

#include "hart/DeviceRecord.h"
#include "platform/TimerService.h"
#include "trend/TrendCurves.h"

#include <cstdint>
#include <functional>
#include <span>

// The recording cycle of the trend page, without a window, so that the
// command-line tool records with the same code.
//
// A recording reads the transmitter's identity and range once, then samples
// in cycles: after a cycle ends, a one-second tick counts the period, and
// when it is reached the next cycle starts, skipping the identity and range
// commands. Each sample is appended to its curve with the time it was taken.
// The operation stays busy between cycles, so nothing else starts while a
// recording runs; it ends with Stop, a cancelled operation, or at once when a
// transaction fails (with the failure message).
class TrendSampler {
public:
    // The trend toolbar commands that start a recording.
    enum Mode : int { kAll = 31000, kPv = 31001, kCurrent = 31002, kPercent = 31003 };
    enum class Curve { Pv, Current, Percent };

    // What a window or the command-line tool does with the recording.
    class Listener {
    public:
        virtual ~Listener() = default;
        // After command 15: the curves' PV range and unit are the transmitter's.
        virtual void OnRangeRead() {}
        // A sample was appended to the curve.
        virtual void OnSampleRecorded(Curve /*curve*/) {}
        // Every command of a cycle was answered; the period starts counting.
        virtual void OnCycleComplete() {}
        // The recording is over: stopped, cancelled or failed.
        virtual void OnRecordingEnded() {}
    };

    // period gives the seconds between cycles, asked at every tick.
    TrendSampler(const DeviceRecord& device, TrendCurves& curves, Listener& listener,
                 std::function<int()> period);
    ~TrendSampler();
    TrendSampler(const TrendSampler&) = delete;
    TrendSampler& operator=(const TrendSampler&) = delete;

    // Starts recording after the sequence layer's start check (busy, port);
    // false, with the check's message and nothing changed, when refused.
    bool Start(Mode mode);
    // Ends the recording at once: no tick and no cycle follows.
    void Stop();

    bool IsRecording() const { return m_bRecording; }
    Mode CurrentMode() const { return m_nMode; }
    // Ticks counted since the last cycle ended.
    int Ticks() const { return m_nTicks; }

    // The first cycle's commands, and where later cycles start in them.
    static std::span<const std::uint8_t> Commands(Mode mode);
    static std::uint8_t LaterCycleStart(Mode mode);
    static bool IsMode(int command) { return command >= kAll && command <= kPercent; }

private:
    static void OnSampleDone(void* userData, int success, std::uint8_t command);
    void AfterStep(std::uint8_t command);
    void CompleteCycle();
    void Record(Curve curve, std::int32_t time);
    std::int32_t Now() const;
    void ArmTimer();
    void OnTick();
    void KillTimer();
    void End();

    const DeviceRecord& m_Device;
    TrendCurves& m_Curves;
    Listener& m_Listener;
    std::function<int()> m_Period;
    bool m_bRecording = false;
    Mode m_nMode = kAll;
    int m_nTicks = 0;
    TimerService* m_pTimerService = nullptr; // the service that owns m_nTimer
    TimerService::TimerId m_nTimer = 0;      // 0 while no tick is pending
};
