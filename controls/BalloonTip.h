#pragma once

#include "platform/TimerService.h"

#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QWidget>

#include <optional>

// A pop-up speech balloon whose tail points at a screen position; it shows a
// short, possibly multi-line text and hides itself after three seconds. The
// chart uses it for its cursor read-out.
class BalloonTip : public QWidget {
    Q_OBJECT

public:
    explicit BalloonTip(QWidget* owner = nullptr);
    ~BalloonTip() override;

    // Gives the tip an owner window after construction (a tip made as a plain
    // member before its owner is ready).
    void Create(QWidget* owner);

    // Shows the text with the tail's tip on anchor (screen coordinates; the
    // mouse position when none is given). Does nothing while already shown;
    // to move a visible tip, Hide and Show again.
    void Show(const QString& text, std::optional<QPoint> anchor = std::nullopt);
    void Hide();

    const QString& Text() const { return m_strText; }
    QPoint Anchor() const { return m_ptAnchor; }
    unsigned HideDelay() const { return m_nHideDelay; }

    // The balloon body's size W × H for a text in a font: the text block plus
    // 12 pixels left and right, 10 top and bottom. The window is W × (H + 25).
    static QSize BodySize(const QFont& font, const QString& text);
    // Body and tail; the tail's tip (W − 12, H + 15) is the anchor.
    static QRegion BalloonRegion(QSize body);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void KillHideTimer();

    QString m_strText;
    QPoint m_ptAnchor;
    QSize m_szBody;
    unsigned m_nHideDelay = 3000;
    TimerService* m_pTimerService = nullptr; // the service that owns m_nHideTimer
    TimerService::TimerId m_nHideTimer = 0;  // 0 while no hide is pending
};
