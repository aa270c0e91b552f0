#include "shell/TrendPage.h"

#include "hart/DeviceRecord.h"
#include "hart/Sequence.h"
#include "hart/UnitTables.h"
#include "platform/Formatting.h"
#include "platform/LanguageText.h"
#include "platform/PromptService.h"
#include "platform/TimerService.h"
#include "shell/FileDialogs.h"
#include "shell/TrendHost.h"
#include "trend/TrendFile.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPointer>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>

#include <utility>

namespace {

constexpr const char* kCaption = "HART";
constexpr std::uint32_t kChartTop = 0xFFFFFF;    // white
constexpr std::uint32_t kChartBottom = 0x007DFF; // orange
constexpr std::uint32_t kListBack = 0xFFF7F7;
constexpr std::uint32_t kListText = 0xFF0000;
constexpr int kPvChart = 1074, kCurrentChart = 1075, kPercentChart = 1076, kGauge = 1077;
constexpr std::array<int, 3> kGaugeRadios{1078, 1079, 1080};
constexpr int kSampleList = 1081;
constexpr int kRowsBetweenPauses = 100;
constexpr unsigned kFillPauseMs = 100;
constexpr int kTracedChart = 77;
constexpr int kTimeColumnWidth = 60;
constexpr int kSmallestListFont = 9;
const QString kWidestTime = QStringLiteral("00:00:00");

// A rectangle from its left, top, right and bottom edges (right and bottom
// outside it).
QRect Edges(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

std::string LanguageText(std::string_view key) {
    return LoadLanguageText(key);
}

} // namespace

TrendPage::TrendPage(DeviceRecord& device, TrendHost& host, QWidget* parent)
    : TemplatePage(kTemplateId, "QXView4", parent), m_Device(device), m_Host(host),
      m_Sampler(device, m_Curves, *this, [&host] { return host.TrendPeriod(); }) {
    m_Curves.pvUnit = CelsiusText();

    m_chartPV.CreateFromPlaceholder(Control(kPvChart));
    m_chartPV.SetRange(m_Curves.pvLow, m_Curves.pvHigh, "PV  \u503C", m_Curves.pvUnit,
                       LoadLanguageText("strPVCurve"));
    m_chartCurrent.CreateFromPlaceholder(Control(kCurrentChart));
    m_chartCurrent.SetRange(4.0, 20.0, "\u7535\u6D41\u503C", std::string("mA"),
                            LoadLanguageText("strCurrentCurve"));
    m_chartPercent.CreateFromPlaceholder(Control(kPercentChart));
    m_chartPercent.SetRange(0.0, 100.0, "\u767E\u5206\u6BD4", std::string("%"),
                            LoadLanguageText("strPercentCurve"));
    for (ChartCtrl* chart : Charts()) {
        chart->SetBackColors(kChartTop, kChartBottom);
    }

    m_gauge.CreateFromPlaceholder(Control(kGauge));
    m_gauge.SetValue(0.0);
    for (int shows = kGaugePv; shows <= kGaugePercent; ++shows) {
        if (auto* radio = qobject_cast<QRadioButton*>(Control(kGaugeRadios[shows]))) {
            radio->setChecked(shows == m_nGaugeSel);
            connect(radio, &QRadioButton::clicked, this, [this, shows] { SelectGauge(shows); });
        }
    }

    m_list.CreateFromPlaceholder(Control(kSampleList));
    m_list.SetColumns(LoadLanguageText("strTime") + "," + std::to_string(kTimeColumnWidth) + ";" +
                      LoadLanguageText("strData") + ",60;" + LoadLanguageText("strUnit") + ",50");
    m_list.SetBackColor(kListBack);
    m_list.SetTextColor(kListText);
    FitListFont();

    m_bInitialised = true;
    Layout();
}

TrendPage::~TrendPage() = default;

void TrendPage::Relabel() {
    TemplatePage::Relabel();
    // Applied as read: a missing text gives an empty heading or title.
    constexpr std::array<const char*, 3> kHeadings{"strTime", "strData", "strUnit"};
    for (int column = 0; column < 3; ++column) {
        m_list.SetColumnName(column, LoadLanguageText(Section(), kHeadings[column]));
    }
    m_chartPV.m_strTitle = LoadLanguageText(Section(), "strPVCurve");
    m_chartCurrent.m_strTitle = LoadLanguageText(Section(), "strCurrentCurve");
    m_chartPercent.m_strTitle = LoadLanguageText(Section(), "strPercentCurve");
    for (ChartCtrl* chart : Charts()) {
        chart->Client()->update();
    }
}

bool TrendPage::HandleCommand(int commandId) {
    switch (commandId) {
    case kRecordAll:
    case kRecordPv:
    case kRecordCurrent:
    case kRecordPercent:
        StartRecording(static_cast<TrendSampler::Mode>(commandId));
        return true;
    case kToggleList:
        ToggleList();
        return true;
    case kOpenFile:
        OpenFile();
        return true;
    case kSaveFile:
        SaveFile();
        return true;
    case kStop:
        m_Sampler.Stop();
        return false; // the main window goes on with its own Stop
    default:
        return false;
    }
}

void TrendPage::StartRecording(TrendSampler::Mode mode) {
    if (!m_Sampler.Start(mode)) {
        return;
    }
    ChartCtrl* const shown[] = {nullptr, &m_chartPV, &m_chartCurrent, &m_chartPercent};
    ShowCurve(shown[mode - TrendSampler::kAll]);
    if (m_bFreshCurves) {
        // A recording begun after the page came back starts on clean charts;
        // the first sample has not arrived yet.
        m_bFreshCurves = false;
        m_Curves.RemoveAllSamples();
        for (ChartCtrl* chart : Charts()) {
            chart->m_nCursor = -1;
            chart->Client()->update();
        }
    }
}

// --- The recording ---

void TrendPage::OnRangeRead() {
    m_chartPV.SetRange(m_Curves.pvLow, m_Curves.pvHigh, m_Curves.pvUnit);
    if (m_nGaugeSel == kGaugePv) {
        m_gauge.SetRange(m_Curves.pvLow, m_Curves.pvHigh, m_Curves.pvUnit, 3);
        m_gauge.SetValue(m_Curves.pvLow);
    }
}

void TrendPage::OnSampleRecorded(TrendSampler::Curve curve) {
    switch (curve) {
    case TrendSampler::Curve::Pv:
        if (m_bShowList) {
            AddListRow(m_Curves.pv.Newest(), m_Device.pvUnitText);
        }
        m_chartPV.SetData(&m_Curves.pv, true);
        break;
    case TrendSampler::Curve::Current:
        if (m_bShowList) {
            AddListRow(m_Curves.current.Newest(), "mA");
        }
        m_chartCurrent.SetData(&m_Curves.current, true);
        break;
    case TrendSampler::Curve::Percent:
        if (m_bShowList) {
            AddListRow(m_Curves.percent.Newest(), "%");
        }
        m_chartPercent.SetData(&m_Curves.percent, true);
        break;
    }
}

void TrendPage::OnCycleComplete() {
    switch (m_Sampler.CurrentMode()) {
    case TrendSampler::kPv:
        m_Host.ValueUpdate(0);
        break;
    case TrendSampler::kCurrent:
    case TrendSampler::kPercent:
        m_Host.ValueUpdate(1);
        break;
    case TrendSampler::kAll: {
        const float shown[] = {m_Device.pv, m_Device.loopCurrent, m_Device.percentOfRange};
        m_gauge.SetValue(shown[m_nGaugeSel]);
        m_Host.ValueUpdate(0);
        m_Host.ValueUpdate(1);
        break;
    }
    }
}

// --- Layout ---

void TrendPage::ShowCurve(ChartCtrl* chart) {
    m_pEnlarged = chart;
    if (chart != nullptr) {
        for (ChartCtrl* each : Charts()) {
            each->hide();
        }
        m_gauge.hide();
        for (int id : kGaugeRadios) {
            if (QWidget* radio = Control(id)) {
                radio->hide();
            }
        }
        const int x = m_rcList.width() + 2;
        chart->setGeometry(x, 0, width() - x, height());
        chart->SetEnlarged(true);
        chart->show();
        return;
    }
    m_chartPV.setGeometry(m_rcPV);
    m_chartCurrent.setGeometry(m_rcCurrent);
    m_chartPercent.setGeometry(m_rcPercent);
    for (ChartCtrl* each : Charts()) {
        each->SetEnlarged(false);
        each->show();
    }
    m_gauge.show();
    for (int id : kGaugeRadios) {
        if (QWidget* radio = Control(id)) {
            radio->show();
        }
    }
}

void TrendPage::Layout() {
    if (!m_bInitialised) {
        return;
    }
    const int w = width();
    const int h = height();
    const int list = m_bShowList ? kListWidth : 0;
    m_rcList = Edges(0, 0, list, h);
    if (m_pEnlarged != nullptr) {
        m_pEnlarged->setGeometry(list + 2, 0, w - (list + 2), h);
    } else {
        const int half = (h - 3) / 2;
        const int column = (w - list - 3) / 2;
        m_rcPV = Edges(list + 1, 1, list + 1 + column, half + 1);
        m_rcCurrent = Edges(list + column + 2, 1, list + 2 * column + 2, half + 1);
        m_rcPercent = Edges(list + 1, half + 2, list + column + 1, 2 * half + 2);
        // The gauge is the largest square beside the percent chart, moved left
        // by a fifth of the list's width.
        if (column < half) {
            m_rcGauge =
                QRect(list + 2 + column - list / 5, half + 2 + (half - column) / 2, column, column);
        } else {
            m_rcGauge =
                QRect(list + 2 + column + (column - half) / 2 - list / 5, half + 2, half, half);
        }
        m_chartPV.setGeometry(m_rcPV);
        m_chartCurrent.setGeometry(m_rcCurrent);
        m_chartPercent.setGeometry(m_rcPercent);
        m_gauge.setGeometry(m_rcGauge);
    }
    m_list.setGeometry(m_rcList);
    m_list.setVisible(m_bShowList);
}

void TrendPage::resizeEvent(QResizeEvent* event) {
    TemplatePage::resizeEvent(event);
    Layout();
}

void TrendPage::showEvent(QShowEvent* event) {
    TemplatePage::showEvent(event);
    // Only when the tab brings the page back, not when the window is restored.
    // The curves stay until a recording starts, so a glance at another tab
    // loses nothing unsaved.
    if (!event->spontaneous()) {
        m_bFreshCurves = true;
    }
}

// --- The list ---

void TrendPage::ToggleList() {
    m_bShowList = !m_bShowList;
    Layout();
    ShowCurve(m_pEnlarged);
    m_Host.CheckTrendTool(kToggleList, m_bShowList);
    if (m_bShowList) {
        FillList();
    }
}

void TrendPage::FitListFont() {
    // The list's column widths are pixels laid out for a font whose digits
    // are 7 pixels wide; where the desktop's font is wider, the list takes a
    // smaller size of it, so that a time of day still fits its column.
    const int margin = m_list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &m_list);
    const int room = kTimeColumnWidth - 1 - 2 * (margin + 1); // less the grid line
    QFont font = m_list.font();
    int size = QFontInfo(font).pixelSize();
    while (size > kSmallestListFont && QFontMetrics(font).horizontalAdvance(kWidestTime) > room) {
        font.setPixelSize(--size);
    }
    m_list.setFont(font);
}

void TrendPage::AddListRow(const TrendSample& sample, const std::string& unit) {
    m_list.AddRow({FormatTimeOfDay(sample.time), FormatFixed(sample.value, 3), unit});
}

void TrendPage::FillList() {
    const int run = ++m_nFillRun;
    m_list.DeleteAllRows();
    const QPointer<TrendPage> alive(this);
    int rows = 0;
    const std::pair<const SampleList*, std::string> curves[] = {
        {&m_Curves.pv, m_Curves.pvUnit}, {&m_Curves.current, "mA"}, {&m_Curves.percent, "%"}};
    for (const auto& [samples, unit] : curves) {
        // The curves may change during a pause: the count is asked anew.
        for (std::size_t i = 0; i < samples->Count(); ++i) {
            AddListRow(samples->At(i), unit);
            if (rows <= kRowsBetweenPauses) {
                ++rows;
                continue;
            }
            rows = 0;
            if (TimerService* timers = TimerService::Current()) {
                timers->WaitWithMessages(kFillPauseMs);
            }
            if (!alive || run != m_nFillRun) {
                return; // gone, or a newer fill took over
            }
        }
    }
}

// --- The gauge ---

void TrendPage::SelectGauge(int shows) {
    m_nGaugeSel = shows;
    if (auto* radio = qobject_cast<QRadioButton*>(Control(kGaugeRadios[shows]))) {
        radio->setChecked(true);
    }
    switch (shows) {
    case kGaugePv:
        m_gauge.SetRange(m_Curves.pvLow, m_Curves.pvHigh, m_Curves.pvUnit, 3);
        if (m_Curves.pvHigh < 10.0) {
            m_gauge.SetScaleDecimals(1);
        }
        m_gauge.SetValue(m_Curves.pv.Empty() ? m_Curves.pvLow : m_Curves.pv.Newest().value);
        break;
    case kGaugeCurrent:
        m_gauge.SetRange(4.0, 20.0, "mA", 3);
        m_gauge.SetScaleDecimals(1);
        m_gauge.SetValue(m_Curves.current.Empty() ? 4.0 : m_Curves.current.Newest().value);
        break;
    default:
        // The scale keeps the decimals an earlier choice gave it.
        m_gauge.SetRange(0.0, 100.0, "%", 2);
        m_gauge.SetValue(m_Curves.percent.Empty() ? 0.0 : m_Curves.percent.Newest().value);
        break;
    }
}

// --- Files ---

bool TrendPage::FileCommandAllowed() const {
    if (BusyFlag) {
        PromptService::Show(LoadLanguageText("strBusy"), kCaption,
                            PromptService::Icon::Information);
        return false;
    }
    return true;
}

void TrendPage::SaveFile() {
    if (!FileCommandAllowed()) {
        return;
    }
    const std::string path = AskSavePath("Data1", "tdd", "Save Picture File");
    if (path.empty()) {
        return;
    }
    const TrendFile::Outcome outcome = TrendFile::Save(path, m_Curves);
    if (!outcome.Ok()) {
        PromptService::Show(TrendFile::FailureMessage(outcome, path, &LanguageText), kCaption,
                            outcome.status == TrendFile::Status::CannotCreate
                                ? PromptService::Icon::Information
                                : PromptService::Icon::Warning);
    }
}

void TrendPage::OpenFile() {
    if (!FileCommandAllowed()) {
        return;
    }
    const std::string path = AskOpenPath("tdd", "");
    if (path.empty()) {
        return;
    }
    const TrendFile::Outcome outcome = TrendFile::Load(path, m_Curves);
    if (outcome.status != TrendFile::Status::CannotOpen) {
        m_bFreshCurves = false; // what was loaded is what the next recording adds to
        for (ChartCtrl* chart : Charts()) {
            chart->Client()->update(); // the lists changed under the charts
        }
    }
    if (!outcome.Ok()) {
        PromptService::Show(TrendFile::FailureMessage(outcome, path, &LanguageText), kCaption,
                            outcome.status == TrendFile::Status::CannotOpen
                                ? PromptService::Icon::Information
                                : PromptService::Icon::Warning);
        return;
    }
    if (!m_bShowList) {
        m_bShowList = true;
        Layout();
        m_Host.CheckTrendTool(kToggleList, true);
    }
    const QPointer<TrendPage> alive(this);
    FillList();
    if (!alive) {
        return;
    }
    m_list.SortByColumn(0, false);
    m_chartPV.SetRange(m_Curves.pvLow, m_Curves.pvHigh, m_Curves.pvUnit);
    m_chartPV.SetData(&m_Curves.pv, true);
    m_chartCurrent.m_nTraceId = kTracedChart;
    m_chartCurrent.SetData(&m_Curves.current, true);
    m_chartPercent.SetData(&m_Curves.percent, true);
    // Loaded curves can be scrolled and clicked.
    for (ChartCtrl* chart : Charts()) {
        chart->m_bFollow = false;
    }
}
