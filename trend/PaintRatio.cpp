#include "trend/PaintRatio.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

qreal PaintRatio(QPainter& painter) {
    const QPaintDevice* device =
        painter.paintEngine() != nullptr ? painter.paintEngine()->paintDevice() : painter.device();
    return device != nullptr ? device->devicePixelRatioF() : 1.0;
}
