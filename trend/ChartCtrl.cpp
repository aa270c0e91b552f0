#include "trend/ChartCtrl.h"

#include "controls/Colorref.h"
#include "hart/UnitTables.h"
#include "platform/DebugTrace.h"
#include "platform/Formatting.h"
#include "platform/TimerService.h"
#include "trend/PaintRatio.h"
#include "trend/Placeholder.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPolygon>
#include <QScrollBar>
#include <QShowEvent>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

constexpr std::uint32_t kGridColour = 0x009696;
constexpr std::uint32_t kFineGridColour = 0x9B9B9B;
constexpr std::uint32_t kCentreLineColour = 0x00FFFF;
constexpr std::uint32_t kCursorColour = 0x0000FF;
constexpr std::uint32_t kCursorDotColour = 0x00FF00;
constexpr int kCursorDotRadius = 5;
constexpr int kClickSlop = 5;          // a drag this small or smaller is a click
constexpr int kMinZoomSamples = 3;     // a zoom must cover more sample indices than this
constexpr double kMinZoomShare = 0.02; // and more than this share of the full range
constexpr int kTracedChart = 77;
constexpr unsigned kReadoutDelayMs = 50;
constexpr int kLineScroll = 2;
constexpr int kPageScroll = 10;
constexpr int kScaleLabels = 5;
// Farther than this from the plot a coordinate only needs its side.
constexpr double kCoordinateLimit = 1 << 24;

const char* const kSongTi = "\u5B8B\u4F53"; // "宋体"
constexpr int kTitleHeight = 20;
constexpr int kLabelHeight = 12;
constexpr int kReadoutHeight = 16;
constexpr int kSerifUnitPoints = 9;
const std::string kDegreesCelsius = "\u00B0C";
const std::string kCelsiusSign = "\u2103";

int ToCoordinate(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<int>(std::clamp(std::trunc(value), -kCoordinateLimit, kCoordinateLimit));
}

QFont PixelFont(int pixelHeight, QFont::Weight weight) {
    QFont font(QString::fromUtf8(kSongTi));
    font.setPixelSize(pixelHeight);
    font.setWeight(weight);
    return font;
}

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

// Text with its top-left corner at (x, y), as the window system places it.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

QPen Pen(std::uint32_t colour, int width) {
    QPen pen(ColorrefToQColor(colour));
    pen.setWidth(width); // 0: one device pixel whatever the scale
    return pen;
}

int Channel(std::uint32_t colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

// Where a scroll bar's request moves its position, within 0 … max.
int ScrolledTo(ChartCtrl::Scroll code, int position, int line, int page, int thumb, int max) {
    using Scroll = ChartCtrl::Scroll;
    switch (code) {
    case Scroll::LineBack:
        position -= line;
        break;
    case Scroll::LineForward:
        position += line;
        break;
    case Scroll::PageBack:
        position -= page;
        break;
    case Scroll::PageForward:
        position += page;
        break;
    case Scroll::ThumbPosition:
        position = thumb;
        break;
    case Scroll::Other:
        break;
    }
    return std::clamp(position, 0, max);
}

} // namespace

ChartCtrl::ChartCtrl(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWindowTitle(QStringLiteral("Hi"));
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        // Only a released thumb moves the window, as the chart's bars always did.
        bar->setTracking(false);
        bar->setRange(0, 1);
        bar->setPageStep(0);
        const Qt::Orientation orientation = bar->orientation();
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, orientation](int action) { OnScrollAction(orientation, action); });
    }
    m_tip.Create(this);
}

ChartCtrl::~ChartCtrl() = default;

bool ChartCtrl::CreateFromPlaceholder(QWidget* placeholder) {
    return TakePlaceOf(*this, placeholder);
}

void ChartCtrl::SetBackColors(std::uint32_t top, std::uint32_t bottom) {
    m_crBackTop = top;
    m_crBackBottom = bottom;
}

void ChartCtrl::SetRange(double min, double max, const std::string& name,
                         const std::optional<std::string>& unit,
                         const std::optional<std::string>& title) {
    const double margin = (max - min) * 0.25;
    m_YMinFull = m_YMin = min - margin;
    m_YMaxFull = m_YMax = max + margin;
    m_strName = name;
    if (title) {
        m_strTitle = *title;
    }
    if (unit) {
        m_strUnit = *unit;
    }
}

void ChartCtrl::SetRange(double min, double max, const std::string& unit) {
    const double margin = (max - min) * 0.25;
    m_YMinFull = m_YMin = min - margin;
    m_YMaxFull = m_YMax = max + margin;
    m_strUnit = unit;
}

void ChartCtrl::SetData(const SampleList* samples, bool follow) {
    m_bFollow = follow;
    m_nCursor = -1;
    m_pSamples = samples;
    // The window is placed at once, not at the next paint, so the scroll bars
    // and a caller that leaves follow mode straight away see the newest
    // samples rather than whatever window an earlier curve left.
    ApplyFollowWindow();
    UpdateScrollBars();
    viewport()->update();
    TraceRange();
}

void ChartCtrl::SetEnlarged(bool on) {
    m_bFineGrid = on;
    m_nSpan = on ? 100 : 50;
}

int ChartCtrl::IndexToX(long long index) const {
    const long long window = static_cast<long long>(m_nLast) - m_nFirst;
    if (window == 0) {
        return 0;
    }
    return ToCoordinate(static_cast<double>((index - m_nFirst) * m_nWidth / window));
}

int ChartCtrl::ValueToY(double value) const {
    if (m_YMin == m_YMax) {
        return m_nHeight / 2; // an empty range: every value on the centre line
    }
    return ToCoordinate((m_nHeight / (m_YMin - m_YMax)) * (value - m_YMax));
}

double ChartCtrl::YToValue(int y) const {
    if (m_nHeight == 0) {
        return m_YMax;
    }
    return m_YMax + (m_YMin - m_YMax) * y / m_nHeight;
}

long long ChartCtrl::XToIndex(int x) const {
    if (m_nWidth == 0) {
        return m_nFirst;
    }
    const long long window = static_cast<long long>(m_nLast) - m_nFirst;
    return std::llround(static_cast<double>(window * x) / m_nWidth + m_nFirst);
}

QPoint ChartCtrl::SamplePoint(long long index) const {
    return {IndexToX(index), ValueToY(m_pSamples->At(static_cast<std::size_t>(index)).value)};
}

void ChartCtrl::TraceRange() const {
    if (m_strUnit == "mA" && m_nTraceId == kTracedChart) {
        DebugTrace("1: m_YMax=%s  m_YMin=%s", FormatFixed(m_YMax, 3).c_str(),
                   FormatFixed(m_YMin, 3).c_str());
    }
}

void ChartCtrl::ApplyFollowWindow() {
    if (!m_bFollow || m_pSamples == nullptr) {
        return;
    }
    const int count = static_cast<int>(m_pSamples->Count());
    if (count < m_nSpan) {
        m_nFirst = 0;
        m_nLast = m_nSpan;
    } else {
        m_nLast = count;
        m_nFirst = count - m_nSpan + 1;
    }
}

void ChartCtrl::RefreshClientSize() {
    m_nWidth = viewport()->width();
    m_nHeight = viewport()->height();
}

void ChartCtrl::UpdateScrollBars() {
    if (m_pSamples == nullptr) {
        return;
    }
    m_nHScrollMax = std::max(static_cast<int>(m_pSamples->Count()) - m_nSpan, 1);
    m_nHScrollPos = m_nFirst;

    const int fullPixels = ValueToY(m_YMinFull) - ValueToY(m_YMaxFull);
    const int visiblePixels = ValueToY(m_YMin) - ValueToY(m_YMax);
    m_nVScrollMax = std::max(fullPixels - visiblePixels, 1);
    const double hidden = (m_YMaxFull - m_YMinFull) - (m_YMax - m_YMin);
    m_nVScrollPos = hidden == 0.0
                        ? 0
                        : std::clamp(ToCoordinate((m_YMaxFull - m_YMax) * m_nVScrollMax / hidden),
                                     0, m_nVScrollMax);

    for (auto [bar, max, pos] : {std::tuple{horizontalScrollBar(), m_nHScrollMax, m_nHScrollPos},
                                 std::tuple{verticalScrollBar(), m_nVScrollMax, m_nVScrollPos}}) {
        const QSignalBlocker quiet(bar);
        bar->setRange(0, max);
        bar->setValue(pos);
    }
}

void ChartCtrl::OnHScroll(Scroll code, int thumbPosition) {
    const int position =
        ScrolledTo(code, m_nHScrollPos, kLineScroll, kPageScroll, thumbPosition, m_nHScrollMax);
    if (position == m_nHScrollPos) {
        return;
    }
    const int change = position - m_nHScrollPos;
    m_nFirst += change;
    m_nLast += change;
    m_nHScrollPos = position;
    const QSignalBlocker quiet(horizontalScrollBar());
    horizontalScrollBar()->setValue(position);
    viewport()->update();
}

void ChartCtrl::OnVScroll(Scroll code, int thumbPosition) {
    const int step = std::max(m_nVScrollMax / 20, 1);
    const int position =
        ScrolledTo(code, m_nVScrollPos, step, 4 * step, thumbPosition, m_nVScrollMax);
    if (position == m_nVScrollPos) {
        return;
    }
    const int change = position - m_nVScrollPos;
    const int fullPixels = ValueToY(m_YMinFull) - ValueToY(m_YMaxFull);
    const int visiblePixels = ValueToY(m_YMin) - ValueToY(m_YMax);
    if (fullPixels != visiblePixels) {
        // Scrolling down shows lower values.
        const double shift =
            ((m_YMaxFull - m_YMinFull) - (m_YMax - m_YMin)) * change / (fullPixels - visiblePixels);
        m_YMin -= shift;
        m_YMax -= shift;
    }
    m_nVScrollPos = position;
    const QSignalBlocker quiet(verticalScrollBar());
    verticalScrollBar()->setValue(position);
    viewport()->update();
}

void ChartCtrl::OnScrollAction(Qt::Orientation orientation, int action) {
    QScrollBar* bar = orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    Scroll code = Scroll::Other;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = Scroll::LineBack;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = Scroll::LineForward;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = Scroll::PageBack;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = Scroll::PageForward;
        break;
    case QAbstractSlider::SliderMove:
        if (bar->isSliderDown()) {
            return; // the thumb follows the mouse; the window waits for its release
        }
        code = Scroll::ThumbPosition;
        break;
    default:
        break;
    }
    if (orientation == Qt::Horizontal) {
        OnHScroll(code, bar->sliderPosition());
        bar->setSliderPosition(m_nHScrollPos);
    } else {
        OnVScroll(code, bar->sliderPosition());
        bar->setSliderPosition(m_nVScrollPos);
    }
}

void ChartCtrl::scrollContentsBy(int, int) {
    // The bars move the window over the samples and the range; nothing shifts.
}

QPoint ChartCtrl::ClampToClient(QPoint p) const {
    // The mouse stays inside the plot while a button is held down.
    return {std::clamp(p.x(), 0, std::max(m_nWidth - 1, 0)),
            std::clamp(p.y(), 0, std::max(m_nHeight - 1, 0))};
}

void ChartCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    RefreshClientSize();
    m_DragFrame = viewport()->grab().toImage();
    m_ptDragStart = m_ptDragEnd = ClampToClient(event->position().toPoint());
    m_bDragging = true;
}

void ChartCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (!m_bDragging) {
        return;
    }
    m_ptDragEnd = ClampToClient(event->position().toPoint());
    viewport()->update();
}

void ChartCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint p = ClampToClient(event->position().toPoint());
    m_bDragging = false;
    m_DragFrame = QImage();
    const QPoint start = m_ptDragStart;
    const QPoint end = m_ptDragEnd;
    if (std::abs(end.x() - start.x()) <= kClickSlop ||
        std::abs(end.y() - start.y()) <= kClickSlop) {
        ShowReadout(p);
    } else if (std::llabs(XToIndex(start.x()) - XToIndex(end.x())) > kMinZoomSamples) {
        const double startValue = YToValue(start.y());
        const double endValue = YToValue(end.y());
        const double full = std::abs(m_YMaxFull - m_YMinFull);
        if (full > 0.0 && std::abs(startValue - endValue) / full > kMinZoomShare) {
            m_YMax = std::max(startValue, endValue);
            m_YMin = std::min(startValue, endValue);
            UpdateScrollBars();
        }
    }
    viewport()->update();
}

void ChartCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_YMax = m_YMaxFull;
    m_YMin = m_YMinFull;
    m_nSpan = 50;
    UpdateScrollBars();
    viewport()->update();
}

void ChartCtrl::wheelEvent(QWheelEvent* event) {
    event->ignore(); // the chart scrolls only by its bars
}

void ChartCtrl::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    RefreshClientSize();
    UpdateScrollBars();
}

void ChartCtrl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    RefreshClientSize();
}

void ChartCtrl::ShowReadout(QPoint p) {
    if (m_pSamples == nullptr) {
        return;
    }
    if (m_bFollow) {
        m_nCursor = -1;
        return;
    }
    const long long index = XToIndex(p.x());
    if (index < m_nFirst || index >= static_cast<long long>(m_pSamples->Count())) {
        m_nCursor = -1;
        return;
    }
    m_nCursor = static_cast<int>(index);
    const TrendSample& sample = m_pSamples->At(static_cast<std::size_t>(index));
    const QPoint anchor = viewport()->mapToGlobal(SamplePoint(index));
    const std::string valueLine =
        m_strName + "\uFF1A" + FormatFixed(sample.value, 5) + " " + m_strUnit;
    const std::string timeLine = "\u65F6  \u95F4\uFF1A" + FormatDateTime(sample.time);
    const std::string placeLine = "\u4F4D  \u7F6E\uFF1A" + std::to_string(index);
    const QString text = ToQString(valueLine + "\n\n" + timeLine + "\n\n" + placeLine);

    m_tip.Hide();
    viewport()->update(); // the cursor shows while the balloon waits
    const QPointer<ChartCtrl> alive(this);
    if (TimerService* timers = TimerService::Current()) {
        timers->WaitWithMessages(kReadoutDelayMs);
    }
    if (alive) {
        m_tip.Show(text, anchor);
    }
}

void ChartCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    if (m_bDragging) {
        DrawRubberBand(painter);
        return;
    }
    TraceRange();
    if (m_strUnit == kCelsiusSign || m_strUnit == kDegreesCelsius) {
        m_strUnit = CelsiusText();
    }
    RefreshClientSize();
    if (m_nWidth <= 0 || m_nHeight <= 0) {
        return;
    }
    RebuildCachesIfStale(PaintRatio(painter));
    painter.drawPixmap(0, 0, m_Background);
    if (m_pSamples != nullptr && m_pSamples->Count() >= 2) {
        ApplyFollowWindow();
        DrawCurve(painter);
    }
    painter.drawPixmap(0, 0, m_Labels);
    DrawReadout(painter);
    DrawCursor(painter);
}

void ChartCtrl::RebuildCachesIfStale(qreal ratio) {
    CacheKey key{m_nWidth, m_nHeight, ratio,      m_crBackTop, m_crBackBottom,
                 m_crUnit, m_crTitle, m_nRows,    m_nCols,     m_bFineGrid,
                 m_YMin,   m_YMax,    m_strTitle, m_strUnit};
    if (key == m_CacheKey && !m_Background.isNull()) {
        return;
    }
    m_CacheKey = std::move(key);
    ++m_nCacheBuilds;
    const QSize pixels(static_cast<int>(std::ceil(m_nWidth * ratio)),
                       static_cast<int>(std::ceil(m_nHeight * ratio)));
    m_Background = QPixmap(pixels);
    m_Background.setDevicePixelRatio(ratio);
    {
        QPainter painter(&m_Background);
        DrawBackground(painter);
    }
    m_Labels = QPixmap(pixels);
    m_Labels.setDevicePixelRatio(ratio);
    m_Labels.fill(Qt::transparent);
    {
        QPainter painter(&m_Labels);
        DrawLabels(painter);
    }
}

void ChartCtrl::DrawBackground(QPainter& painter) const {
    const int w = m_nWidth;
    const int h = m_nHeight;
    if (m_crBackTop == m_crBackBottom) {
        painter.fillRect(0, 0, w, h, ColorrefToQColor(m_crBackTop));
    } else {
        // Row by row, each channel growing by a single-precision step.
        float channels[3];
        float steps[3];
        for (int c = 0; c < 3; ++c) {
            channels[c] = static_cast<float>(Channel(m_crBackTop, 8 * c));
            steps[c] =
                static_cast<float>(Channel(m_crBackBottom, 8 * c) - Channel(m_crBackTop, 8 * c)) /
                static_cast<float>(h);
        }
        for (int y = 0; y < h; ++y) {
            const auto level = [&channels](int c) {
                return std::clamp(static_cast<int>(channels[c]), 0, 255);
            };
            painter.fillRect(0, y, w, 1, QColor(level(0), level(1), level(2)));
            for (int c = 0; c < 3; ++c) {
                channels[c] += steps[c];
            }
        }
    }

    if (m_nCols > 0 && m_nRows > 0) {
        const float colWidth = static_cast<float>(w) / static_cast<float>(m_nCols);
        const float rowHeight = static_cast<float>(h) / static_cast<float>(m_nRows);
        painter.setPen(Pen(kGridColour, 0));
        for (int j = 1; j < m_nCols; ++j) {
            const int x = static_cast<int>(static_cast<float>(j) * colWidth);
            painter.drawLine(x, 0, x, h - 1);
        }
        for (int c = 1; c < m_nRows; ++c) {
            const int y = static_cast<int>(static_cast<float>(c) * rowHeight);
            painter.drawLine(0, y, w - 1, y);
        }
        if (m_bFineGrid) {
            painter.setPen(Pen(kFineGridColour, 0));
            for (int c = 0; c < m_nRows; ++c) {
                for (int quarter = 1; quarter < 4; ++quarter) {
                    const int y = static_cast<int>(static_cast<float>(c) * rowHeight +
                                                   static_cast<float>(quarter) * rowHeight / 4);
                    painter.drawLine(0, y, w - 1, y);
                }
            }
            for (int j = 0; j < m_nCols; ++j) {
                for (int quarter = 1; quarter < 4; ++quarter) {
                    const int x = static_cast<int>(static_cast<float>(j) * colWidth +
                                                   static_cast<float>(quarter) * colWidth / 4);
                    painter.drawLine(x, 0, x, h - 1);
                }
            }
        }
    }
    painter.setPen(Pen(kCentreLineColour, 0));
    painter.drawLine(0, h / 2, w - 1, h / 2);
}

void ChartCtrl::DrawLabels(QPainter& painter) const {
    painter.setFont(PixelFont(kTitleHeight, QFont::Normal));
    painter.setPen(ColorrefToQColor(m_crTitle));
    const QString title = ToQString(m_strTitle);
    DrawTextAt(painter, (m_nWidth - painter.fontMetrics().horizontalAdvance(title)) / 2, 0, title);

    painter.setPen(ColorrefToQColor(m_crUnit));
    if (m_strUnit == kDegreesCelsius) {
        painter.setFont(QFont(QStringLiteral("MS Serif"), kSerifUnitPoints));
    } else {
        painter.setFont(PixelFont(kLabelHeight, QFont::Normal));
    }
    DrawTextAt(painter, 2, 0, ToQString(m_strUnit));

    painter.setFont(PixelFont(kLabelHeight, QFont::Normal));
    const int textHeight = painter.fontMetrics().height();
    for (int i = 1; i <= kScaleLabels; ++i) {
        const double value = m_YMin + (m_YMax - m_YMin) * i * (1.0 / 6);
        DrawTextAt(painter, 2, ValueToY(value) - textHeight,
                   QString::fromStdString(FormatFixed(value, 3)));
    }
}

void ChartCtrl::DrawCurve(QPainter& painter) const {
    const long long count = static_cast<long long>(m_pSamples->Count());
    const long long first = std::max<long long>(m_nFirst, 0);
    const long long last = std::min<long long>(m_nLast, count - 1);
    if (last - first < 1) {
        return;
    }
    QPolygon points;
    const long long visible = last - first + 1;
    if (visible <= 4LL * std::max(m_nWidth, 1)) {
        points.reserve(static_cast<qsizetype>(visible));
        for (long long i = first; i <= last; ++i) {
            points.append(SamplePoint(i));
        }
    } else {
        // More samples than pixel columns: per column the first, lowest,
        // highest and last sample, in their order, draw the same pixels as
        // all of them. Column ends come from the mapping itself, so only the
        // values are visited.
        const long long window = static_cast<long long>(m_nLast) - m_nFirst;
        const long long width = m_nWidth;
        auto sample = m_pSamples->begin() + static_cast<std::ptrdiff_t>(first);
        for (long long i = first; i <= last;) {
            long long end = last;
            if (width > 0) {
                const long long x = IndexToX(i);
                const long long next = m_nFirst + ((x + 1) * window + width - 1) / width;
                end = std::clamp(next - 1, i, last);
            }
            long long lowest = i;
            long long highest = i;
            double low = sample->value;
            double high = sample->value;
            ++sample;
            for (long long k = i + 1; k <= end; ++k, ++sample) {
                if (sample->value < low) {
                    low = sample->value;
                    lowest = k;
                }
                if (sample->value > high) {
                    high = sample->value;
                    highest = k;
                }
            }
            points.append(SamplePoint(i));
            for (long long extreme : {std::min(lowest, highest), std::max(lowest, highest)}) {
                if (extreme != i && extreme != end) {
                    points.append(SamplePoint(extreme));
                }
            }
            if (end != i) {
                points.append(SamplePoint(end));
            }
            i = end + 1;
        }
    }
    painter.setPen(Pen(m_crCurve, 1));
    painter.drawPolyline(points);
}

void ChartCtrl::DrawReadout(QPainter& painter) const {
    if (m_pSamples == nullptr || m_pSamples->Empty()) {
        return;
    }
    const long long count = static_cast<long long>(m_pSamples->Count());
    QString left;
    QString right;
    const long long shown = m_nCursor < 0 ? count - 1 : m_nCursor;
    if (shown < count) {
        left = QString::number(m_nCursor < 0 ? count : m_nCursor);
        right = ToQString(FormatFixed(m_pSamples->At(static_cast<std::size_t>(shown)).value, 5) +
                          " " + m_strUnit);
    }
    painter.setFont(PixelFont(kReadoutHeight, QFont::Black));
    painter.setPen(ColorrefToQColor(m_crUnit));
    const QFontMetrics metrics = painter.fontMetrics();
    DrawTextAt(painter, 2, m_nHeight - metrics.height(), left);
    DrawTextAt(painter, m_nWidth - metrics.horizontalAdvance(right), m_nHeight - metrics.height(),
               right);
}

void ChartCtrl::DrawCursor(QPainter& painter) const {
    if (m_pSamples == nullptr || m_nCursor < m_nFirst ||
        m_nCursor >= static_cast<long long>(m_pSamples->Count())) {
        return;
    }
    const QPoint at = SamplePoint(m_nCursor);
    painter.setPen(Pen(kCursorColour, 1));
    painter.drawLine(0, at.y(), m_nWidth - 1, at.y());
    painter.drawLine(at.x(), 0, at.x(), m_nHeight - 1);
    painter.setBrush(ColorrefToQColor(kCursorDotColour));
    // A stroked ellipse covers its rectangle plus one pixel: 10 × 10 in all.
    painter.drawEllipse(QRect(at.x() - kCursorDotRadius, at.y() - kCursorDotRadius,
                              2 * kCursorDotRadius - 1, 2 * kCursorDotRadius - 1));
    painter.setBrush(Qt::NoBrush);
}

void ChartCtrl::DrawRubberBand(QPainter& painter) const {
    // The chart as it was when the drag began, and the band over it drawn by
    // inverting the pixels under its outline.
    painter.drawImage(QPoint(0, 0), m_DragFrame);
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(Pen(0x007D7D, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(m_ptDragStart, m_ptDragEnd).normalized());
}
