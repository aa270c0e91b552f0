#include "controls/BalloonTip.h"

#include <QCursor>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPolygon>

namespace {

constexpr int kMarginX = 12;
constexpr int kMarginY = 10;
constexpr int kCornerWidth = 12;
constexpr int kCornerHeight = 10;
constexpr int kTailHeight = 25;   // window height beyond the body
constexpr int kTipFromRight = 12; // tip's distance from the body's right edge
constexpr int kTipBelowBody = 15;
constexpr int kTailWidth = 25;

constexpr Qt::WindowFlags kTipWindowFlags =
    Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;

// Read-outs written with Windows line ends still break once per line.
QString WithPlainLineBreaks(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return plain;
}

// The pixels of region within width columns or height rows of its outside.
QRegion Border(const QRegion& region, int width, int height) {
    const QRegion inner = region.translated(width, 0) & region.translated(-width, 0) &
                          region.translated(0, height) & region.translated(0, -height) & region;
    return region - inner;
}

void FillRegion(QPainter& painter, const QRegion& region, const QColor& color) {
    for (const QRect& part : region) {
        painter.fillRect(part, color);
    }
}

} // namespace

BalloonTip::BalloonTip(QWidget* owner) : QWidget(owner, kTipWindowFlags) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_NoSystemBackground);
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
}

BalloonTip::~BalloonTip() {
    KillHideTimer();
}

void BalloonTip::Create(QWidget* owner) {
    setParent(owner, kTipWindowFlags);
}

QSize BalloonTip::BodySize(const QFont& font, const QString& text) {
    QSize block(0, 0);
    if (!text.isEmpty()) {
        const QFontMetrics metrics(font);
        block = metrics
                    .boundingRect(QRect(0, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                                  WithPlainLineBreaks(text))
                    .size();
    }
    return block + QSize(2 * kMarginX, 2 * kMarginY);
}

QRegion BalloonTip::BalloonRegion(QSize body) {
    const int w = body.width();
    const int h = body.height();
    // A rectangle with corners rounded by 12 × 10 ellipses.
    QRegion shape = QRegion(kCornerWidth / 2, 0, w - kCornerWidth, h) |
                    QRegion(0, kCornerHeight / 2, w, h - kCornerHeight);
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(w - kCornerWidth, 0), QPoint(0, h - kCornerHeight),
          QPoint(w - kCornerWidth, h - kCornerHeight)}) {
        shape |= QRegion(corner.x(), corner.y(), kCornerWidth, kCornerHeight, QRegion::Ellipse);
    }
    const QPolygon tail({QPoint(w - kTipFromRight, h - kMarginY),
                         QPoint(w - kTipFromRight, h + kTipBelowBody),
                         QPoint(w - kTipFromRight - kTailWidth, h - kMarginY)});
    return shape | QRegion(tail, Qt::OddEvenFill);
}

void BalloonTip::Show(const QString& text, std::optional<QPoint> anchor) {
    if (isVisible()) {
        return;
    }
    m_ptAnchor = anchor.value_or(QCursor::pos());
    m_strText = text;
    m_szBody = BodySize(font(), m_strText);
    const int w = m_szBody.width();
    const int h = m_szBody.height();
    setGeometry(m_ptAnchor.x() - w + kTipFromRight, m_ptAnchor.y() - h - kTipBelowBody, w,
                h + kTailHeight);
    // Outside the balloon nothing is painted, so nothing there may show.
    setMask(BalloonRegion(m_szBody));
    raise();
    show();

    KillHideTimer();
    m_pTimerService = TimerService::Current();
    if (m_pTimerService != nullptr) {
        m_nHideTimer = m_pTimerService->StartOneShot(m_nHideDelay, [this] {
            m_nHideTimer = 0;
            Hide();
        });
    }
}

void BalloonTip::Hide() {
    KillHideTimer();
    hide();
}

void BalloonTip::KillHideTimer() {
    // An id is only meaningful to the service that issued it.
    if (m_nHideTimer != 0 && m_pTimerService != nullptr &&
        m_pTimerService == TimerService::Current()) {
        m_pTimerService->Kill(m_nHideTimer);
    }
    m_nHideTimer = 0;
}

void BalloonTip::paintEvent(QPaintEvent*) {
    const QRegion balloon = BalloonRegion(m_szBody);
    const qreal ratio = devicePixelRatioF();
    QPixmap buffer(size() * ratio);
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(Qt::transparent);
    {
        QPainter painter(&buffer);
        const QPalette& colors = palette();
        FillRegion(painter, balloon, colors.color(QPalette::Base));
        FillRegion(painter, Border(balloon, 3, 3), colors.color(QPalette::Midlight));
        FillRegion(painter, Border(balloon, 1, 1), colors.color(QPalette::Text));
        painter.setFont(font());
        painter.setPen(colors.color(QPalette::Text));
        painter.drawText(rect().adjusted(kMarginX, kMarginY, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         WithPlainLineBreaks(m_strText));
    }
    QPainter(this).drawPixmap(0, 0, buffer);
}
