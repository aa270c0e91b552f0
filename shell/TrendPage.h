#pragma once

#include "shell/TemplatePage.h"
#include "trend/ChartCtrl.h"
#include "trend/DataListCtrl.h"
#include "trend/GaugeCtrl.h"
#include "trend/TrendCurves.h"
#include "trend/TrendSampler.h"

#include <QRect>

#include <array>
#include <string>

class TrendHost;
struct DeviceRecord;

// The trend page: records the primary variable, the loop current and the
// percent of range at the chosen period into three charts, shows one of them
// on the dial gauge, lists the samples, and saves the curves to and loads
// them from trend files. The recording itself is the window-free
// TrendSampler; the page shows what it records.
class TrendPage : public TemplatePage, private TrendSampler::Listener {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 133;
    enum Command {
        kRecordAll = 31000,
        kRecordPv = 31001,
        kRecordCurrent = 31002,
        kRecordPercent = 31003,
        kToggleList = 31004,
        kOpenFile = 31005,
        kSaveFile = 31006,
        kStop = 32776, // the main window's Stop ends a recording at once
    };
    enum GaugeShows { kGaugePv = 0, kGaugeCurrent = 1, kGaugePercent = 2 };
    static constexpr int kListWidth = 160;

    TrendPage(DeviceRecord& device, TrendHost& host, QWidget* parent);
    ~TrendPage() override;

    void Relabel() override;
    bool HandleCommand(int commandId) override;

    // One chart alone over the whole page beside the list, or (nullptr) all
    // three with the gauge.
    void ShowCurve(ChartCtrl* chart);
    void Layout();
    // Refills the list from the three curves, pausing for the window now and
    // then.
    void FillList();
    void SelectGauge(int shows);

    ChartCtrl& PvChart() { return m_chartPV; }
    ChartCtrl& CurrentChart() { return m_chartCurrent; }
    ChartCtrl& PercentChart() { return m_chartPercent; }
    GaugeCtrl& Gauge() { return m_gauge; }
    DataListCtrl& List() { return m_list; }
    const TrendCurves& Curves() const { return m_Curves; }
    const TrendSampler& Sampler() const { return m_Sampler; }
    ChartCtrl* Enlarged() const { return m_pEnlarged; }
    bool ListShown() const { return m_bShowList; }
    int GaugeSelection() const { return m_nGaugeSel; }
    QRect GaugeRect() const { return m_rcGauge; }
    QRect ListRect() const { return m_rcList; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The recording, as the sampler reports it.
    void OnRangeRead() override;
    void OnSampleRecorded(TrendSampler::Curve curve) override;
    void OnCycleComplete() override;

    void StartRecording(TrendSampler::Mode mode);
    void ToggleList();
    void OpenFile();
    void SaveFile();
    // Saving and opening wait for no port, only for the operation running.
    bool FileCommandAllowed() const;
    void AddListRow(const TrendSample& sample, const std::string& unit);
    void FitListFont();
    void ShowAllCharts();
    std::array<ChartCtrl*, 3> Charts() { return {&m_chartPV, &m_chartCurrent, &m_chartPercent}; }

    DeviceRecord& m_Device;
    TrendHost& m_Host;
    TrendCurves m_Curves;
    TrendSampler m_Sampler;
    DataListCtrl m_list;
    GaugeCtrl m_gauge;
    ChartCtrl m_chartPV;
    ChartCtrl m_chartCurrent;
    ChartCtrl m_chartPercent;
    ChartCtrl* m_pEnlarged = nullptr;
    QRect m_rcPV, m_rcCurrent, m_rcPercent, m_rcGauge, m_rcList;
    int m_nGaugeSel = kGaugePercent;
    bool m_bShowList = false;
    bool m_bInitialised = false;
    // Set when the page is shown: the next recording starts on empty curves.
    bool m_bFreshCurves = false;
    int m_nFillRun = 0; // which FillList is filling; an older one stops
};
