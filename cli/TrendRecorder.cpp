#include "cli/TrendRecorder.h"

#include "cli/MessageText.h"
#include "cli/ReportFormat.h"
#include "hart/Sequence.h"

#include <ostream>

TrendRecorder::TrendRecorder(EventLoop& loop, ConsolePrompt& prompt, const DeviceRecord& record,
                             std::ostream& out)
    : m_Loop(loop), m_Prompt(prompt), m_Record(record), m_Out(out),
      m_Sampler(record, m_Curves, *this, [this] { return m_nPeriod; }) {}

TrendRecorder::~TrendRecorder() = default;

TrendRecorder::Outcome TrendRecorder::Record(int periodSeconds,
                                             std::optional<std::chrono::seconds> duration) {
    m_nPeriod = periodSeconds;
    m_bEnded = false;
    m_Out << ReportFormat::TrendCsvHeader() << std::endl;
    if (EventLoop::Interrupted()) {
        return Outcome::Interrupted;
    }
    // Without a language file the messages are blank: say what they mean.
    m_Prompt.SetBlankText(MessageText::Get(BusyFlag ? "strBusy" : "strPortFail"));
    if (!m_Sampler.Start(TrendSampler::kAll)) {
        return Outcome::Refused;
    }
    m_Prompt.SetBlankText(MessageText::Get("strCommFail"));
    std::optional<EventLoop::Clock::time_point> end;
    if (duration) {
        end = EventLoop::Clock::now() + *duration;
    }
    m_Loop.RunUntil([this] { return m_bEnded || !m_Out; }, end);
    if (m_bEnded) {
        return Outcome::Failed; // the sequence layer has shown why
    }
    // Time is up, the output closed or the user interrupted: stop as the
    // window's Stop does, abandoning a transaction in flight.
    m_Sampler.Stop();
    CancelSequence();
    BusyFlag = false;
    return EventLoop::Interrupted() ? Outcome::Interrupted : Outcome::Done;
}

void TrendRecorder::OnCycleComplete() {
    ++m_nSamples;
    // Current and percent carry the cycle's time stamp.
    m_Out << ReportFormat::TrendCsvRow(m_Curves.current.Newest().time, m_Record) << std::endl;
}

void TrendRecorder::OnRecordingEnded() {
    m_bEnded = true;
}
