#include "controls/IconFactory.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>
#include <numbers>

namespace {

// Pictures are drawn on a 32 x 32 grid; thin lines sit on half units so they
// fall on whole pixels at 32 and at 64 pixels.
constexpr double kGrid = 32.0;

constexpr std::array<int, 16> kResourceIds = {128, 136, 137, 138, 139, 140, 141, 142,
                                              143, 144, 145, 146, 147, 148, 149, 150};

const QColor kNavy(0x1d, 0x35, 0x57);
const QColor kRed(0xd6, 0x28, 0x28);
const QColor kDarkRed(0x9d, 0x1c, 0x1c);
const QColor kBlue(0x1b, 0x75, 0xbc);
const QColor kGreen(0x2b, 0x93, 0x48);
const QColor kOrange(0xf0, 0x8c, 0x00);
const QColor kGrey(0x8a, 0x96, 0xa3);

QPen Stroke(const QColor& color, double width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A point on a circle; angles count counter-clockwise from 3 o'clock, as
// QPainter's arcs do, with y growing downwards.
QPointF OnCircle(QPointF centre, double radius, double degrees) {
    const double rad = degrees * std::numbers::pi / 180.0;
    return {centre.x() + radius * std::cos(rad), centre.y() - radius * std::sin(rad)};
}

// A disc with a darker rim, the background of several glyphs.
void Disc(QPainter& p, const QColor& fill) {
    p.setPen(Stroke(fill.darker(130), 1.0));
    p.setBrush(fill);
    p.drawEllipse(QPointF(16, 16), 13.5, 13.5);
}

void Thermometer(QPainter& p, const QColor& glass, const QColor& outline) {
    QPainterPath body;
    body.addRoundedRect(QRectF(12.5, 4.5, 7, 18), 3.5, 3.5);
    body.addEllipse(QPointF(16, 22.5), 5.5, 5.5);
    p.setPen(Stroke(outline, 1.0));
    p.setBrush(glass);
    p.drawPath(body.simplified());
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(QPointF(16, 22.5), 3.5, 3.5);
    p.drawRoundedRect(QRectF(14.75, 10, 2.5, 12), 1.25, 1.25);
}

// Application icon: a thermometer in the 4-20 mA loop on a blue tile.
void PaintApplication(QPainter& p) {
    QLinearGradient tile(0, 2, 0, 30);
    tile.setColorAt(0.0, QColor(0x2f, 0x6e, 0xa5));
    tile.setColorAt(1.0, kNavy);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setPen(Stroke(kOrange, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 5, 22, 22), 115 * 16, 310 * 16);
    Thermometer(p, Qt::white, Qt::white);
}

// Reset: a circular arrow.
void PaintReset(QPainter& p) {
    const QPointF centre(16, 16);
    const double radius = 10.0;
    const QColor color(0x1b, 0x8a, 0x5a);
    p.setPen(Stroke(color, 4.0));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 6, 20, 20), 60 * 16, 290 * 16);
    // Arrow head at the 60-degree end, pointing clockwise into the gap.
    const QPointF tail = OnCircle(centre, radius, 60);
    const QPointF radial(std::cos(std::numbers::pi / 3), -std::sin(std::numbers::pi / 3));
    const QPointF along(std::sin(std::numbers::pi / 3), std::cos(std::numbers::pi / 3));
    const QPolygonF head{tail + radial * 5.0, tail - radial * 5.0, tail + along * 6.0};
    p.setPen(Stroke(color, 1.0));
    p.setBrush(color);
    p.drawPolygon(head);
}

// On-line: a green "go" disc.
void PaintOnline(QPainter& p) {
    Disc(p, kGreen);
    p.setPen(Stroke(Qt::white, 1.0));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF{QPointF(12.5, 9), QPointF(12.5, 23), QPointF(23.5, 16)});
}

// Search: a magnifying glass.
void PaintSearch(QPainter& p) {
    p.setPen(Stroke(QColor(0x6b, 0x4f, 0x2a), 4.5));
    p.drawLine(QPointF(19.5, 19.5), QPointF(27, 27));
    p.setPen(Stroke(kNavy, 2.5));
    p.setBrush(QColor(0xcf, 0xe8, 0xff));
    p.drawEllipse(QPointF(13, 13), 8.5, 8.5);
    p.setPen(Stroke(Qt::white, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8, 8, 10, 10), 100 * 16, 70 * 16);
}

// Stop: a red square.
void PaintStop(QPainter& p) {
    p.setPen(Stroke(kDarkRed, 1.0));
    p.setBrush(kRed);
    p.drawRoundedRect(QRectF(5.5, 5.5, 21, 21), 3, 3);
}

// Product information: a white "i" on a blue disc.
void PaintInformation(QPainter& p) {
    Disc(p, kBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 9.5), 2.5, 2.5);
    p.drawRoundedRect(QRectF(14, 14, 4, 11), 1, 1);
}

// Contact: a globe.
void PaintGlobe(QPainter& p) {
    p.setPen(Stroke(kNavy, 1.5));
    p.setBrush(QColor(0x9a, 0xd0, 0xf5));
    p.drawEllipse(QPointF(16, 16), 12.5, 12.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(Stroke(kNavy, 1.0));
    p.drawEllipse(QPointF(16, 16), 5.5, 12.5);
    p.drawLine(QPointF(16, 3.5), QPointF(16, 28.5));
    p.drawLine(QPointF(3.5, 16), QPointF(28.5, 16));
    p.drawLine(QPointF(6, 9.5), QPointF(26, 9.5));
    p.drawLine(QPointF(6, 22.5), QPointF(26, 22.5));
}

// Band background as an icon: a swatch of the toolbar band.
void PaintBandSwatch(QPainter& p) {
    p.setPen(Stroke(kGrey, 1.0));
    p.setBrush(QBrush(IconFactory::BandBackground().scaled(32, 32)));
    p.drawRoundedRect(QRectF(3.5, 3.5, 25, 25), 3, 3);
    p.setPen(Stroke(kGrey, 1.0));
    for (double x : {10.5, 14.5, 18.5}) {
        p.drawLine(QPointF(x, 10), QPointF(x, 22));
    }
}

// Open a trend file: an open folder.
void PaintOpen(QPainter& p) {
    const QColor back(0xe0, 0xa1, 0x00);
    const QColor front(0xff, 0xcc, 0x33);
    QPainterPath folder;
    folder.moveTo(3.5, 8.5);
    folder.lineTo(11.5, 8.5);
    folder.lineTo(14, 11);
    folder.lineTo(25.5, 11);
    folder.lineTo(25.5, 25.5);
    folder.lineTo(3.5, 25.5);
    folder.closeSubpath();
    p.setPen(Stroke(back.darker(140), 1.0));
    p.setBrush(back);
    p.drawPath(folder);
    p.setBrush(front);
    p.drawPolygon(
        QPolygonF{QPointF(8, 15.5), QPointF(29.5, 15.5), QPointF(25.5, 25.5), QPointF(3.5, 25.5)});
}

// Save a trend file: a diskette.
void PaintSave(QPainter& p) {
    const QColor body(0x2f, 0x5d, 0x8a);
    QPainterPath shape;
    shape.moveTo(4.5, 4.5);
    shape.lineTo(23.5, 4.5);
    shape.lineTo(27.5, 8.5);
    shape.lineTo(27.5, 27.5);
    shape.lineTo(4.5, 27.5);
    shape.closeSubpath();
    p.setPen(Stroke(kNavy, 1.0));
    p.setBrush(body);
    p.drawPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc8, 0xd0, 0xd8));
    p.drawRect(QRectF(9, 5, 13, 8));
    p.setBrush(body);
    p.drawRect(QRectF(17, 6.5, 3, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 16, 16, 10));
    p.setPen(Stroke(kGrey, 1.0));
    p.drawLine(QPointF(10, 19.5), QPointF(22, 19.5));
    p.drawLine(QPointF(10, 22.5), QPointF(22, 22.5));
}

// The plot frame shared by the four recording glyphs.
void ChartFrame(QPainter& p) {
    p.setPen(Stroke(kGrey, 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 3.5, 25, 24));
    p.setPen(QPen(QColor(0xdd, 0xe3, 0xea), 1.0));
    for (double y : {9.5, 15.5, 21.5}) {
        p.drawLine(QPointF(7, y), QPointF(28, y));
    }
    p.setPen(Stroke(kNavy, 1.5));
    p.drawLine(QPointF(6.5, 5), QPointF(6.5, 25));
    p.drawLine(QPointF(6.5, 25), QPointF(27, 25));
}

QPolygonF WaveCurve() {
    return {QPointF(8, 20),  QPointF(11, 14), QPointF(14, 11), QPointF(17, 14),
            QPointF(20, 18), QPointF(23, 13), QPointF(26, 8)};
}

QPolygonF StepCurve() {
    return {QPointF(8, 21),  QPointF(12, 21), QPointF(12, 16), QPointF(17, 16),
            QPointF(17, 19), QPointF(21, 19), QPointF(21, 10), QPointF(26, 10)};
}

QPolygonF RampCurve() {
    return {QPointF(8, 22.5), QPointF(26, 7.5)};
}

void Curve(QPainter& p, const QPolygonF& points, const QColor& color, double width) {
    p.setPen(Stroke(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(points);
}

// Record all three values: the three curves together.
void PaintRecordAll(QPainter& p) {
    ChartFrame(p);
    Curve(p, RampCurve(), kGreen, 2.0);
    Curve(p, StepCurve(), kBlue, 2.0);
    Curve(p, WaveCurve(), kRed, 2.0);
}

void PaintRecordPv(QPainter& p) {
    ChartFrame(p);
    Curve(p, WaveCurve(), kRed, 2.5);
}

void PaintRecordCurrent(QPainter& p) {
    ChartFrame(p);
    Curve(p, StepCurve(), kBlue, 2.5);
}

void PaintRecordPercent(QPainter& p) {
    ChartFrame(p);
    Curve(p, RampCurve(), kGreen, 2.5);
}

// A dial gauge.
void PaintGauge(QPainter& p) {
    const QPointF centre(16, 20);
    p.setPen(Stroke(kNavy, 1.5));
    p.setBrush(Qt::white);
    QPainterPath dial;
    dial.moveTo(centre);
    dial.arcTo(QRectF(3, 7, 26, 26), 0, 180);
    dial.closeSubpath();
    p.drawPath(dial);
    p.setPen(Stroke(kGrey, 1.0));
    for (int degrees = 0; degrees <= 180; degrees += 30) {
        p.drawLine(OnCircle(centre, 10, degrees), OnCircle(centre, 12, degrees));
    }
    p.setPen(Stroke(kOrange, 2.0));
    p.drawLine(centre, OnCircle(centre, 10, 55));
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawEllipse(centre, 2, 2);
    p.setPen(Stroke(kNavy, 1.5));
    p.drawLine(QPointF(3, 20.5), QPointF(29, 20.5));
}

// Show or hide the sample list: a sheet with rows.
void PaintList(QPainter& p) {
    p.setPen(Stroke(kGrey, 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 3.5, 21, 25));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(6, 4, 20, 4));
    const std::array<QColor, 4> bullets = {kRed, kBlue, kGreen, kRed};
    for (std::size_t i = 0; i < bullets.size(); ++i) {
        const double y = 11.5 + 4.5 * static_cast<double>(i);
        p.setPen(Qt::NoPen);
        p.setBrush(bullets[i]);
        p.drawRect(QRectF(8, y - 1, 2, 2));
        p.setPen(Stroke(kNavy, 1.0));
        p.drawLine(QPointF(12, y), QPointF(23, y));
    }
}

// Paints the picture of resourceId on the 32-unit grid; false when the id has
// none.
bool PaintGlyph(int resourceId, QPainter& p) {
    switch (resourceId) {
    case 128:
        PaintApplication(p);
        return true;
    case 136:
        PaintReset(p);
        return true;
    case 137:
        PaintOnline(p);
        return true;
    case 138:
        PaintSearch(p);
        return true;
    case 139:
        PaintStop(p);
        return true;
    case 140:
        PaintInformation(p);
        return true;
    case 141:
        PaintGlobe(p);
        return true;
    case 142:
        PaintBandSwatch(p);
        return true;
    case 143:
        PaintOpen(p);
        return true;
    case 144:
        PaintSave(p);
        return true;
    case 145:
        PaintRecordAll(p);
        return true;
    case 146:
        PaintGauge(p);
        return true;
    case 147:
        PaintList(p);
        return true;
    case 148:
        PaintRecordPv(p);
        return true;
    case 149:
        PaintRecordCurrent(p);
        return true;
    case 150:
        PaintRecordPercent(p);
        return true;
    default:
        return false;
    }
}

} // namespace

std::span<const int> IconFactory::ResourceIds() {
    return kResourceIds;
}

QPixmap IconFactory::Pixmap(int resourceId, int size) {
    if (size <= 0) {
        return {};
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(size / kGrid, size / kGrid);
    const bool known = PaintGlyph(resourceId, painter);
    painter.end();
    return known ? QPixmap::fromImage(image) : QPixmap();
}

QIcon IconFactory::Icon(int resourceId) {
    QIcon icon;
    // The application icon also serves title bars, task switchers and the
    // About box; toolbar images are 32 pixels, 64 on doubled displays.
    static constexpr std::array<int, 7> kApplicationSizes = {16, 24, 32, 48, 64, 128, 256};
    static constexpr std::array<int, 2> kToolbarSizes = {32, 64};
    const std::span<const int> sizes = resourceId == 128 ? std::span<const int>(kApplicationSizes)
                                                         : std::span<const int>(kToolbarSizes);
    for (int size : sizes) {
        const QPixmap pixmap = Pixmap(resourceId, size);
        if (pixmap.isNull()) {
            return {};
        }
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPixmap IconFactory::BandBackground() {
    constexpr int kWidth = 16;
    constexpr int kHeight = 64;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient shade(0, 0, 0, kHeight);
    shade.setColorAt(0.0, QColor(0xfb, 0xfc, 0xfe));
    shade.setColorAt(0.5, QColor(0xee, 0xf2, 0xf7));
    shade.setColorAt(1.0, QColor(0xd8, 0xe0, 0xea));
    painter.fillRect(image.rect(), shade);
    // A light top edge and a darker bottom edge frame the band.
    painter.fillRect(QRect(0, 0, kWidth, 1), Qt::white);
    painter.fillRect(QRect(0, kHeight - 1, kWidth, 1), QColor(0xb8, 0xc4, 0xd2));
    painter.end();
    return QPixmap::fromImage(image);
}
