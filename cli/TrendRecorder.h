#pragma once

#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"
#include "hart/DeviceRecord.h"
#include "trend/TrendCurves.h"
#include "trend/TrendSampler.h"

#include <chrono>
#include <iosfwd>
#include <optional>

// Records PV, loop current and percent of range with the trend page's own
// cycle and writes one CSV row per cycle, flushed at once so a pipe sees each
// sample live. The period is the wait between the end of one cycle and the
// start of the next, so samples come a cycle's transactions further apart.
class TrendRecorder : private TrendSampler::Listener {
public:
    enum class Outcome { Done, Refused, Failed, Interrupted };

    TrendRecorder(EventLoop& loop, ConsolePrompt& prompt, const DeviceRecord& record,
                  std::ostream& out);
    ~TrendRecorder() override;

    // Records until duration has passed (none: until interrupted), a
    // transaction fails, or the output is closed. A refused start or a
    // failure has been shown through the prompt service.
    Outcome Record(int periodSeconds, std::optional<std::chrono::seconds> duration);

    // What was recorded, oldest sample first.
    const TrendCurves& Curves() const { return m_Curves; }
    int Samples() const { return m_nSamples; }

private:
    void OnCycleComplete() override;
    void OnRecordingEnded() override;

    EventLoop& m_Loop;
    ConsolePrompt& m_Prompt;
    const DeviceRecord& m_Record;
    std::ostream& m_Out;
    TrendCurves m_Curves;
    int m_nPeriod = 1;
    TrendSampler m_Sampler;
    int m_nSamples = 0;
    bool m_bEnded = false;
};
