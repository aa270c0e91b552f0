#pragma once

#include <QRect>
#include <QTabBar>

class QPainter;

// The main window's tab control: one control over the whole template
// rectangle, the tabs along its top and a framed client area below them. The
// pages are not managed here: the owner places them over PageRect() and shows
// the one whose tab is selected, so that it can stop a running sequence before
// a page changes.
class TabControl : public QTabBar {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr);

    // Where a page goes, in this control's coordinates: the client rectangle
    // less 4 pixels at the sides and bottom and 25 at the top, under the tabs.
    QRect PageRect() const;

protected:
    // Tabs as high as the text with a few pixels around it, so that the tab
    // row of the dialog font ends above the page area.
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
    // The wheel never switches tabs: a tab switch stops the running operation,
    // and a wheel turn meant for a page must not do that.
    void wheelEvent(QWheelEvent* event) override;

private:
    int TabRowHeight() const;
    void PaintFrame(QPainter& painter) const;
};
