#pragma once

#include <QtGlobal>

class QPainter;

// The pixels per unit of what a painter paints on: the screen's, or those of
// a picture the widget is rendered into, so cached pictures are drawn as
// finely as what they are copied to.
qreal PaintRatio(QPainter& painter);
