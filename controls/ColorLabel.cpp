#include "controls/ColorLabel.h"

#include "controls/Colorref.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

ColorLabel::ColorLabel(QWidget* parent) : QWidget(parent) {
    // Without a background colour the parent must show through.
    setAutoFillBackground(false);
}

void ColorLabel::SetTextColor(std::uint32_t colorref) {
    m_crText = colorref;
    update();
}

void ColorLabel::SetBackColor(std::uint32_t colorref) {
    m_crBack = colorref;
    m_bSolidBack = true;
    update();
}

void ColorLabel::SetLabelFont(const QString& face, int pointSizeTenths) {
    QFont labelFont(face);
    labelFont.setPointSizeF(pointSizeTenths / 10.0);
    setFont(labelFont);
    updateGeometry();
    update();
}

void ColorLabel::SetText(const QString& text) {
    if (text == m_strText) {
        return;
    }
    m_strText = text;
    updateGeometry();
    update();
}

void ColorLabel::SetAlignment(Qt::Alignment alignment) {
    m_nAlign = alignment & Qt::AlignHorizontal_Mask;
    update();
}

int ColorLabel::TextFlags() const {
    return static_cast<int>(m_nAlign | Qt::AlignTop) | Qt::TextWordWrap | Qt::TextExpandTabs;
}

QSize ColorLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    const QRect bounds = metrics.boundingRect(
        QRect(0, 0, 0, 0), static_cast<int>(m_nAlign | Qt::AlignTop) | Qt::TextExpandTabs,
        m_strText);
    return bounds.size().expandedTo(QSize(1, metrics.height()));
}

void ColorLabel::paintEvent(QPaintEvent*) {
    // Off-screen first, so a value that changes several times a second does
    // not flicker between background and text.
    const qreal ratio = devicePixelRatioF();
    QPixmap buffer(size() * ratio);
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(Qt::transparent);
    {
        QPainter painter(&buffer);
        if (m_bSolidBack) {
            painter.fillRect(rect(), ColorrefToQColor(m_crBack));
        }
        painter.setFont(font());
        painter.setPen(ColorrefToQColor(m_crText));
        painter.drawText(rect(), TextFlags(), m_strText);
    }
    QPainter(this).drawPixmap(0, 0, buffer);
}
