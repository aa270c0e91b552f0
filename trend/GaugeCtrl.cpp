#include "trend/GaugeCtrl.h"

#include "controls/Colorref.h"
#include "platform/Formatting.h"
#include "trend/PaintRatio.h"
#include "trend/Placeholder.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kZonePoints = 251; // 250 steps over the sweep, 50 per zone
constexpr int kZones = 5;
constexpr int kMaxTicks = 3600;
constexpr std::uint32_t kArcColour = 0x00FFFF;
const QString kAlarm = QStringLiteral("Alarm!");

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

// Rounds half away from zero.
int Nearest(double x) {
    return static_cast<int>(x >= 0 ? x + 0.5 : x - 0.5);
}

// The point at radius r and angle a (degrees, counter-clockwise, y down),
// each offset rounded to the nearest pixel.
QPoint RoundedPoint(int cx, int cy, double r, double degrees) {
    return {Nearest(cx + r * std::cos(Radians(degrees))),
            Nearest(cy - r * std::sin(Radians(degrees)))};
}

// The same with each offset truncated before it is added to the centre.
QPoint TruncatedPoint(int cx, int cy, double r, double degrees) {
    return {cx + static_cast<int>(r * std::cos(Radians(degrees))),
            cy - static_cast<int>(r * std::sin(Radians(degrees)))};
}

QFont ArialFont(int pixelHeight) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(pixelHeight, 1));
    font.setWeight(QFont::Normal);
    return font;
}

enum class Across { Left, Centre, Right };
enum class Upright { Top, Baseline, Bottom };

// Text placed against (x, y) the way the window system's text alignment
// flags place it.
void DrawAligned(QPainter& painter, int x, int y, const QString& text, Across across,
                 Upright upright) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(text);
    const int left = across == Across::Left     ? x
                     : across == Across::Centre ? x - width / 2
                                                : x - width;
    const int top = upright == Upright::Top        ? y
                    : upright == Upright::Baseline ? y - metrics.ascent()
                                                   : y - metrics.height();
    if (painter.backgroundMode() == Qt::OpaqueMode) {
        painter.fillRect(left, top, width, metrics.height(), painter.background());
    }
    painter.drawText(QPoint(left, top + metrics.ascent()), text);
}

struct LabelPlace {
    Across across;
    Upright upright;
    QPoint offset;
};

// Where a scale label sits against the inner end of its tick, by the tick's
// angle, for a label font h pixels high.
LabelPlace PlaceLabel(double angle, int h) {
    if (angle > 190) {
        return {Across::Left, Upright::Bottom, {0, h / 2}};
    }
    if (angle > 170) {
        return {Across::Left, Upright::Baseline, {0, h / 3}};
    }
    if (angle > 135) {
        return {Across::Left, Upright::Baseline, {0, h / 2}};
    }
    if (angle > 100) {
        return {Across::Left, Upright::Top, {-h / 4, -h / 8}};
    }
    if (angle > 80) {
        return {Across::Centre, Upright::Top, {0, 0}};
    }
    if (angle > 45) {
        return {Across::Right, Upright::Bottom, {h / 3, h}};
    }
    if (angle > 10) {
        return {Across::Right, Upright::Baseline, {0, h / 2}};
    }
    if (angle > -10) {
        return {Across::Right, Upright::Baseline, {0, h / 3}};
    }
    return {Across::Right, Upright::Bottom, {0, h / 2}};
}

} // namespace

GaugeCtrl::GaugeCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

GaugeCtrl::~GaugeCtrl() = default;

bool GaugeCtrl::CreateFromPlaceholder(QWidget* placeholder) {
    return TakePlaceOf(*this, placeholder);
}

void GaugeCtrl::SetRange(double min, double max, const std::string& unit, int valueDecimals) {
    m_dMin = min;
    m_dMax = max;
    m_strUnit = unit;
    m_nValueDecimals = valueDecimals;
    DiscardDial();
}

void GaugeCtrl::SetScaleDecimals(int decimals) {
    m_nScaleDecimals = decimals;
    DiscardDial();
}

void GaugeCtrl::SetValue(double value) {
    m_dValue = value;
    update();
}

void GaugeCtrl::DiscardDial() {
    m_Dial = QPixmap();
    update();
}

void GaugeCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    DiscardDial();
}

GaugeCtrl::Geometry GaugeCtrl::Measure(const QRect& client) {
    Geometry g;
    const int right = client.left() + client.width();
    const int bottom = client.top() + client.height();
    g.radius = 9 * std::max(client.width(), client.height()) / 21;
    g.cx = (client.left() + right) / 2;
    g.cy = (client.top() + bottom) / 2 + g.radius / 10;
    g.bezel = g.radius / 18;
    g.tickOuter = g.radius - 2 * g.bezel;
    g.majorInner = 8 * g.radius / 10;
    g.minorInner = (g.radius - 2 * g.bezel - g.majorInner) / 2 + g.majorInner;
    g.hub = g.radius / 20;
    return g;
}

double GaugeCtrl::NeedleAngle(double value) const {
    const double start = m_nStartAngle;
    const double end = m_nEndAngle - 360.0;
    if (m_dMax == m_dMin || std::isnan(value)) {
        return start;
    }
    const double angle = start - Sweep() * (value - m_dMin) / (m_dMax - m_dMin);
    return std::clamp(angle, std::min(start, end), std::max(start, end));
}

void GaugeCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const Geometry g = Measure(rect());
    if (width() <= 0 || height() <= 0 || g.radius <= 0) {
        return;
    }
    // A picture the window is rendered into may have more pixels per unit
    // than the screen the dial was drawn for.
    const qreal ratio = PaintRatio(painter);
    if (m_Dial.isNull() || m_Dial.devicePixelRatioF() != ratio) {
        BuildDial(g, ratio);
    }
    painter.drawPixmap(0, 0, m_Dial);
    DrawNeedle(painter, g);
    DrawHub(painter, g);
    DrawTexts(painter, g);
}

void GaugeCtrl::BuildDial(const Geometry& g, qreal ratio) {
    ++m_nCacheBuilds;
    m_Dial = QPixmap(static_cast<int>(std::ceil(width() * ratio)),
                     static_cast<int>(std::ceil(height() * ratio)));
    m_Dial.setDevicePixelRatio(ratio);
    QPainter painter(&m_Dial);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Button));

    const int sweep = Sweep();
    const QRect outer(g.cx - g.radius, g.cy - g.radius, 2 * g.radius, 2 * g.radius);
    // Bezel: the darkest, widest band first, lighter and narrower ones over it.
    for (int n = g.bezel; n >= 1; --n) {
        const int c =
            static_cast<int>(255.0f - static_cast<float>(n) * 159.0f / static_cast<float>(g.bezel));
        QPen pen(QColor(c, c, 255), 2 * n);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        painter.drawArc(outer, (m_nEndAngle - 360) * 16, sweep * 16);
    }
    painter.setPen(QPen(ColorrefToQColor(kArcColour), 1));
    painter.drawArc(
        QRect(g.cx - g.majorInner, g.cy - g.majorInner, 2 * g.majorInner, 2 * g.majorInner),
        (m_nEndAngle - 360) * 16, sweep * 16);

    if (m_bColorBands) {
        std::array<QPoint, kZonePoints> outerPoints;
        std::array<QPoint, kZonePoints> innerPoints;
        for (int i = 0; i < kZonePoints; ++i) {
            const double angle = m_nStartAngle - i * sweep * 0.004;
            outerPoints[static_cast<std::size_t>(i)] =
                TruncatedPoint(g.cx, g.cy, g.radius - g.bezel, angle);
            innerPoints[static_cast<std::size_t>(i)] =
                TruncatedPoint(g.cx, g.cy, g.majorInner, angle);
        }
        const int perZone = (kZonePoints - 1) / kZones;
        for (int z = 0; z < kZones; ++z) {
            QPolygon zone;
            for (int i = perZone * z; i <= perZone * (z + 1); ++i) {
                zone.append(outerPoints[static_cast<std::size_t>(i)]);
            }
            for (int i = perZone * (z + 1); i >= perZone * z; --i) {
                zone.append(innerPoints[static_cast<std::size_t>(i)]);
            }
            const QColor colour = ColorrefToQColor(m_crBands[static_cast<std::size_t>(z)]);
            painter.setPen(QPen(colour, 1));
            painter.setBrush(colour);
            painter.drawPolygon(zone, Qt::OddEvenFill);
        }
        painter.setBrush(Qt::NoBrush);
    }

    // Ticks, in hundredths of a degree from the start down to the end; their
    // outer ends outline the region the needle is clipped to.
    m_TickOutline.clear();
    const int divisions = m_nMajorTicks * m_nMinorTicks;
    const double minorStep = divisions > 0 ? static_cast<double>(sweep) / divisions : 0.0;
    const int step = static_cast<int>(minorStep * 100);
    painter.setPen(QPen(Qt::black, 1));
    if (step > 0) {
        int i = 0;
        for (int t = 100 * m_nStartAngle; t >= 100 * (m_nEndAngle - 360) && i < kMaxTicks;
             t -= step, ++i) {
            const double angle = t / 100.0;
            const int inner = i % m_nMinorTicks == 0 ? g.majorInner : g.minorInner;
            const QPoint from = RoundedPoint(g.cx, g.cy, g.tickOuter, angle);
            m_TickOutline.append(from);
            painter.drawLine(from, RoundedPoint(g.cx, g.cy, inner, angle));
        }
    }

    const int labelHeight = g.radius / 6;
    if (labelHeight > 0) {
        painter.setFont(ArialFont(labelHeight));
        painter.setPen(Qt::black);
        for (int k = 0; k <= m_nMajorTicks; ++k) {
            const double value = m_dMin + (m_dMax - m_dMin) * k / std::max(m_nMajorTicks, 1);
            const double angle = m_nStartAngle - k * m_nMinorTicks * minorStep;
            const QPoint anchor = RoundedPoint(g.cx, g.cy, g.majorInner, angle);
            const LabelPlace place = PlaceLabel(angle, labelHeight);
            DrawAligned(painter, anchor.x() + place.offset.x(), anchor.y() + place.offset.y(),
                        QString::fromStdString(FormatFixed(value, m_nScaleDecimals)), place.across,
                        place.upright);
        }
    }
}

void GaugeCtrl::DrawNeedle(QPainter& painter, const Geometry& g) const {
    const double theta = NeedleAngle(m_dValue);
    const double s = std::sin(Radians(theta));
    const double c = std::cos(Radians(theta));
    const double halfWidth = 0.125 * 10 * g.hub;
    const QPoint sideA(g.cx - static_cast<int>(halfWidth * s),
                       g.cy - static_cast<int>(halfWidth * c));
    const QPoint sideB(g.cx + static_cast<int>(halfWidth * s),
                       g.cy + static_cast<int>(halfWidth * c));
    const QPoint tip(Nearest(g.cx + 0.95 * g.radius * c), Nearest(g.cy - 0.95 * g.radius * s));
    const QPoint tail(Nearest(g.cx - g.radius * c / 6), Nearest(g.cy + g.radius * s / 6));

    const QColor needle = ColorrefToQColor(m_crNeedle);
    painter.save();
    painter.setClipRegion(QRegion(m_TickOutline, Qt::OddEvenFill));
    painter.setPen(QPen(needle, 1));
    painter.setBrush(needle);
    painter.drawPolygon(QPolygon({sideA, tip, sideB, tail}));
    painter.restore();

    // Light from the upper left: the shadowed edge is the one away from it.
    const QPoint shadowSide = theta > 90 ? sideA : sideB;
    const QPoint lightSide = theta > 90 ? sideB : sideA;
    const QPalette& colours = palette();
    painter.setPen(QPen(colours.color(QPalette::Dark), 2));
    painter.drawPolyline(QPolygon({tip, shadowSide, tail}));
    painter.setPen(QPen(colours.color(QPalette::Light), 1));
    painter.drawPolyline(QPolygon({tip, lightSide, tail}));
}

void GaugeCtrl::DrawHub(QPainter& painter, const Geometry& g) const {
    if (g.hub <= 0) {
        return;
    }
    // Discs from the black rim in to the white centre.
    for (int n = (g.hub * 3) / 4; n >= 0; --n) {
        const int grey = static_cast<int>(255.0 - n * 1020.0 / (3 * g.hub));
        const QColor colour(grey, grey, grey);
        if (n == 0) {
            painter.setPen(colour);
            painter.drawPoint(g.cx, g.cy);
        } else {
            painter.setPen(QPen(colour, 1));
            painter.setBrush(colour);
            painter.drawEllipse(QPoint(g.cx, g.cy), n, n);
        }
    }
    painter.setBrush(Qt::NoBrush);
}

void GaugeCtrl::DrawTexts(QPainter& painter, const Geometry& g) const {
    const int fifth = g.radius / 5;
    if (fifth <= 0) {
        return;
    }
    const std::uint32_t colour = m_dValue > m_dMax   ? m_crHigh
                                 : m_dValue < m_dMin ? m_crLow
                                                     : m_crNormal;
    painter.setPen(ColorrefToQColor(colour));
    painter.setFont(ArialFont(fifth));
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(palette().color(QPalette::Button));
    const int boxTop = g.cy + fifth;
    const int boxBottom = g.cy + g.radius / 2;
    const int x = g.cx;
    const int y = (boxTop + boxBottom) / 2;
    DrawAligned(painter, x, y, QString::fromStdString(m_strUnit), Across::Centre, Upright::Top);
    DrawAligned(painter, x, y + fifth,
                QString::fromStdString(FormatFixed(m_dValue, m_nValueDecimals)), Across::Centre,
                Upright::Top);
    if (IsAlarm()) {
        DrawAligned(painter, x, y - 4 * fifth, kAlarm, Across::Centre, Upright::Top);
    }
    painter.setBackgroundMode(Qt::TransparentMode);
}
