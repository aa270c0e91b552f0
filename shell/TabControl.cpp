#include "shell/TabControl.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Pixels above and below a tab's text together.
constexpr int kTabTextMargin = 6;

} // namespace

TabControl::TabControl(QWidget* parent) : QTabBar(parent) {
    // The frame below is drawn here, joined to the selected tab.
    setDrawBase(false);
    setExpanding(false);
}

QRect TabControl::PageRect() const {
    return rect().adjusted(4, 25, -4, -4);
}

QSize TabControl::tabSizeHint(int index) const {
    QSize size = QTabBar::tabSizeHint(index);
    size.setHeight(std::min(size.height(), fontMetrics().height() + kTabTextMargin));
    return size;
}

int TabControl::TabRowHeight() const {
    return count() > 0 ? tabRect(0).bottom() + 1 : 0;
}

void TabControl::PaintFrame(QPainter& painter) const {
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.shape = shape();
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    const int top = std::max(0, TabRowHeight() - overlap);
    frame.rect = rect().adjusted(0, top, 0, 0);
    frame.tabBarSize = QSize(width(), TabRowHeight());
    frame.tabBarRect = QRect(0, 0, width(), TabRowHeight());
    frame.selectedTabRect = currentIndex() >= 0 ? tabRect(currentIndex()) : QRect();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

void TabControl::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        PaintFrame(painter);
    }
    QTabBar::paintEvent(event);
    // A style may draw the selected tab past the tab row, counting on a tab
    // bar only as high as its tabs; the client area is painted over again.
    QPainter painter(this);
    painter.setClipRect(rect().adjusted(0, TabRowHeight(), 0, 0));
    PaintFrame(painter);
}

void TabControl::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
