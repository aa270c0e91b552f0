#include "trend/TrendSampler.h"

#include "hart/Sequence.h"
#include "hart/SequenceDisplay.h"

#include <array>

namespace {

constexpr unsigned kTickMs = 1000;
constexpr std::array<std::uint8_t, 4> kAllCommands{0, 15, 1, 2};
constexpr std::array<std::uint8_t, 3> kPvCommands{0, 15, 1};
constexpr std::array<std::uint8_t, 2> kLoopCommands{0, 2};

} // namespace

TrendSampler::TrendSampler(const DeviceRecord& device, TrendCurves& curves, Listener& listener,
                           std::function<int()> period)
    : m_Device(device), m_Curves(curves), m_Listener(listener), m_Period(std::move(period)) {}

TrendSampler::~TrendSampler() {
    KillTimer();
}

std::span<const std::uint8_t> TrendSampler::Commands(Mode mode) {
    switch (mode) {
    case kAll:
        return kAllCommands;
    case kPv:
        return kPvCommands;
    case kCurrent:
    case kPercent:
        break;
    }
    return kLoopCommands;
}

std::uint8_t TrendSampler::LaterCycleStart(Mode mode) {
    // Identity and range are read once, at the start of the recording.
    return mode == kAll || mode == kPv ? 2 : 1;
}

bool TrendSampler::Start(Mode mode) {
    if (!CanStartSequence()) {
        return false;
    }
    KillTimer();
    CommandSequence.Load(Commands(mode));
    m_bRecording = true;
    m_nMode = mode;
    StartSequenceStep(this, &TrendSampler::OnSampleDone);
    return true;
}

void TrendSampler::Stop() {
    KillTimer();
    m_bRecording = false;
}

void TrendSampler::OnSampleDone(void* userData, int success, std::uint8_t command) {
    auto* self = static_cast<TrendSampler*>(userData);
    switch (AdvanceSequence(self, &TrendSampler::OnSampleDone, success, OnFailure::Report,
                            [self, command] { self->AfterStep(command); })) {
    case StepOutcome::Started:
        return;
    case StepOutcome::Finished:
        self->CompleteCycle();
        return;
    case StepOutcome::Cancelled:
    case StepOutcome::Failed:
        // No tick is armed: the recording is over; what was recorded stays.
        self->End();
        return;
    }
}

void TrendSampler::AfterStep(std::uint8_t command) {
    if (CommandSequence.index + 1 >= CommandSequence.count) {
        return; // the last command's values are recorded when the cycle completes
    }
    if (command == 15) {
        m_Curves.pvLow = m_Device.lowerRangeValue;
        m_Curves.pvHigh = m_Device.upperRangeValue;
        m_Curves.pvUnit = m_Device.pvUnitText;
        m_Listener.OnRangeRead();
    } else if (command == 1 && m_nMode == kAll) {
        Record(Curve::Pv, Now());
    }
}

void TrendSampler::CompleteCycle() {
    if (g_pMainDialog != nullptr) {
        g_pMainDialog->ShowProgress(true);
    }
    // BusyFlag stays set between cycles: other operations are refused while
    // the recording runs.
    const std::int32_t time = Now();
    switch (m_nMode) {
    case kPv:
        Record(Curve::Pv, time);
        break;
    case kCurrent:
        Record(Curve::Current, time);
        break;
    case kPercent:
        Record(Curve::Percent, time);
        break;
    case kAll:
        Record(Curve::Current, time);
        Record(Curve::Percent, time);
        break;
    }
    ArmTimer();
    m_Listener.OnCycleComplete();
}

void TrendSampler::Record(Curve curve, std::int32_t time) {
    switch (curve) {
    case Curve::Pv:
        m_Curves.pv.Append({m_Device.pv, time});
        break;
    case Curve::Current:
        m_Curves.current.Append({m_Device.loopCurrent, time});
        break;
    case Curve::Percent:
        m_Curves.percent.Append({m_Device.percentOfRange, time});
        break;
    }
    m_Listener.OnSampleRecorded(curve);
}

std::int32_t TrendSampler::Now() const {
    const TimerService* timers = TimerService::Current();
    // The trend file keeps seconds in 32 bits.
    return timers != nullptr ? static_cast<std::int32_t>(timers->NowSeconds()) : 0;
}

void TrendSampler::ArmTimer() {
    KillTimer();
    m_nTicks = 0;
    m_pTimerService = TimerService::Current();
    if (m_pTimerService != nullptr) {
        m_nTimer = m_pTimerService->StartOneShot(kTickMs, [this] {
            m_nTimer = 0;
            OnTick();
        });
    }
}

void TrendSampler::OnTick() {
    if (!m_bRecording || CancelFlag) {
        BusyFlag = false;
        End();
        return;
    }
    ++m_nTicks;
    if (m_nTicks < m_Period()) {
        m_nTimer = m_pTimerService->StartOneShot(kTickMs, [this] {
            m_nTimer = 0;
            OnTick();
        });
        return;
    }
    CommandSequence.index = LaterCycleStart(m_nMode);
    StartSequenceStep(this, &TrendSampler::OnSampleDone);
}

void TrendSampler::KillTimer() {
    // An id is only meaningful to the service that issued it.
    if (m_nTimer != 0 && m_pTimerService != nullptr && m_pTimerService == TimerService::Current()) {
        m_pTimerService->Kill(m_nTimer);
    }
    m_nTimer = 0;
}

void TrendSampler::End() {
    KillTimer();
    if (m_bRecording) {
        m_bRecording = false;
        m_Listener.OnRecordingEnded();
    }
}
