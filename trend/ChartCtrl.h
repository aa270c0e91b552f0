#pragma once

#include "controls/BalloonTip.h"
#include "trend/SampleList.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPixmap>
#include <QPoint>

#include <cstdint>
#include <optional>
#include <string>

// One trend curve against a value axis: gradient background, grid, title,
// unit, five scale labels, a read-out of the newest or selected sample and a
// cursor. A click shows the sample under it in a balloon, a dragged rectangle
// zooms the value axis, a double-click restores it, and the chart's own scroll
// bars move the window over the samples and over the full range.
//
// The chart draws a list it does not own. What stays the same from sample to
// sample (gradient and grid; title, unit and scale labels) is kept in two
// pictures rebuilt only when size, colours, range, texts or grid change; the
// curve, the read-out and the cursor are drawn fresh, at most four points per
// pixel column, so a repaint costs the same for a thousand samples or a
// million.
//
// The members are public: the trend page writes some of them directly.
class ChartCtrl : public QAbstractScrollArea {
    Q_OBJECT
public:
    // What a scroll bar asks for, as the bars of the window system report it.
    enum class Scroll { LineBack, LineForward, PageBack, PageForward, ThumbPosition, Other };

    explicit ChartCtrl(QWidget* parent = nullptr);
    ~ChartCtrl() override;

    // Takes the place of the dialog's placeholder control; false, creating
    // nothing, without one.
    bool CreateFromPlaceholder(QWidget* placeholder);

    void SetBackColors(std::uint32_t top, std::uint32_t bottom);
    // Full and visible range min − 25 % … max + 25 % of max − min. The unit
    // and the title change only when given.
    void SetRange(double min, double max, const std::string& name,
                  const std::optional<std::string>& unit, const std::optional<std::string>& title);
    void SetRange(double min, double max, const std::string& unit);
    // Attaches the curve (nullptr: none) and clears the cursor. In follow
    // mode the window keeps to the newest m_nSpan samples and a click shows
    // nothing.
    void SetData(const SampleList* samples, bool follow);
    // Enlarged: 100 samples per window and the fine grid.
    void SetEnlarged(bool on);

    // Client coordinates of sample indices and values, and back. An empty
    // window or range maps everything to the left or top edge instead of
    // dividing by zero.
    int IndexToX(long long index) const;
    int ValueToY(double value) const;
    double YToValue(int y) const;
    long long XToIndex(int x) const;

    void UpdateScrollBars();
    void OnHScroll(Scroll code, int thumbPosition = 0);
    void OnVScroll(Scroll code, int thumbPosition = 0);
    // The balloon read-out of the sample under client point p.
    void ShowReadout(QPoint p);

    // The plot area (the chart less its border and scroll bars).
    QWidget* Client() const { return viewport(); }
    // How often the pictures of the unchanging parts were drawn.
    int CacheBuilds() const { return m_nCacheBuilds; }

    int m_nTraceId = 0; // 77 with unit "mA": the range goes to the debug trace
    const SampleList* m_pSamples = nullptr;
    std::uint32_t m_crBackTop = 0xFF0000;
    std::uint32_t m_crBackBottom = 0x0000FF;
    std::uint32_t m_crCurve = 0xFF0000;
    std::uint32_t m_crUnit = 0x7D0000;
    std::uint32_t m_crTitle = 0x7D0000;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nRows = 6;
    int m_nCols = 10;
    int m_nSpan = 50;
    double m_YMax = 100.0;
    double m_YMin = 0.0;
    int m_nLast = 50;
    int m_nFirst = 0;
    double m_YMaxFull = 100.0;
    double m_YMinFull = 0.0;
    std::string m_strTitle;
    std::string m_strUnit;
    std::string m_strName;
    bool m_bDragging = false;
    QPoint m_ptDragStart;
    QPoint m_ptDragEnd;
    int m_nHScrollMax = 1;
    int m_nVScrollMax = 1;
    int m_nHScrollPos = 0;
    int m_nVScrollPos = 0;
    bool m_bFollow = false;
    int m_nCursor = -1;
    bool m_bFineGrid = false;
    BalloonTip m_tip;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Everything the two cached pictures are drawn from.
    struct CacheKey {
        int width = -1, height = -1;
        qreal ratio = 0;
        std::uint32_t backTop = 0, backBottom = 0, unitColour = 0, titleColour = 0;
        int rows = 0, cols = 0;
        bool fineGrid = false;
        double yMin = 0, yMax = 0;
        std::string title, unit;
        bool operator==(const CacheKey&) const = default;
    };

    void TraceRange() const;
    void ApplyFollowWindow();
    void RefreshClientSize();
    void RebuildCachesIfStale(qreal ratio);
    void DrawBackground(QPainter& painter) const;
    void DrawLabels(QPainter& painter) const;
    void DrawCurve(QPainter& painter) const;
    void DrawReadout(QPainter& painter) const;
    void DrawCursor(QPainter& painter) const;
    void DrawRubberBand(QPainter& painter) const;
    void OnScrollAction(Qt::Orientation orientation, int action);
    QPoint ClampToClient(QPoint p) const;
    QPoint SamplePoint(long long index) const;

    QPixmap m_Background; // gradient, grid, centre line
    QPixmap m_Labels;     // title, unit, scale labels over a transparent ground
    CacheKey m_CacheKey;
    QImage m_DragFrame; // the chart as it was when the drag began
    int m_nCacheBuilds = 0;
};
