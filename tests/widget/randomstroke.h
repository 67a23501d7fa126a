#ifndef RANDOMSTROKE_H
#define RANDOMSTROKE_H

#include "biz/whiteboard/drawunit.h"

#include <QColor>
#include <QRandomGenerator>
#include <QSize>
#include <QString>

// A pen stroke of points points that wanders over a page of that size from
// a random start, each step at most step pixels along each axis; the same
// generator state gives the same stroke.
inline DrawCurveUnit *randomStroke(QRandomGenerator &random, const QSize &page, const QColor &colour, const QString &owner,
                                   int points, int step)
{
    auto *stroke = new DrawCurveUnit(3, colour, owner);
    int x = random.bounded(page.width());
    int y = random.bounded(page.height());
    stroke->begin(x, y, page.width(), page.height());
    for (int p = 1; p < points; ++p) {
        x = qBound(0, x + random.bounded(-step, step + 1), page.width());
        y = qBound(0, y + random.bounded(-step, step + 1), page.height());
        stroke->addPoint(x, y, page.width(), page.height());
    }
    return stroke;
}

#endif // RANDOMSTROKE_H
