#include "linesegments.h"

#include <QtMath>

#include <cmath>

namespace {

bool isPoint(const QPointF& point) {
    return !qIsNaN(point.x()) && !qIsNaN(point.y());
}

// Where a dash pattern stands: the current entry (even: dash, odd: gap) and what is left of it.
struct DashPosition {
    int index = 0;
    qreal left = 0.0;
};

DashPosition dashStart(const QVector<qreal>& pattern, qreal patternLength, qreal offset) {
    DashPosition position{0, pattern[0]};
    qreal skip = std::fmod(std::max<qreal>(offset, 0.0), patternLength);
    while (skip >= position.left) {
        skip -= position.left;
        position.index = (position.index + 1) % pattern.size();
        position.left = pattern[position.index];
    }
    position.left -= skip;
    return position;
}

} // namespace

QVector<QLineF> polylineSegments(const QVector<QPointF>& polyline) {
    QVector<QLineF> segments;
    segments.reserve(polyline.size());
    for (int i = 1; i < polyline.size(); ++i) {
        if (isPoint(polyline[i - 1]) && isPoint(polyline[i]))
            segments.append(QLineF(polyline[i - 1], polyline[i]));
    }
    return segments;
}

QVector<QLineF> dashedSegments(const QVector<QPointF>& polyline, const QVector<qreal>& pattern,
                               qreal offset) {
    qreal patternLength = 0.0;
    for (qreal length : pattern) {
        if (!(length >= 0.0))
            return polylineSegments(polyline);
        patternLength += length;
    }
    if (pattern.size() % 2 != 0 || !(patternLength > 0.0) || std::isinf(patternLength))
        return polylineSegments(polyline);

    QVector<QLineF> pieces;
    DashPosition position = dashStart(pattern, patternLength, offset);
    for (int i = 1; i < polyline.size(); ++i) {
        const QPointF from = polyline[i - 1];
        const QPointF to = polyline[i];
        if (!isPoint(from) || !isPoint(to)) {
            position = dashStart(pattern, patternLength, offset);
            continue;
        }
        const qreal length = QLineF(from, to).length();
        qreal done = 0.0;
        while (done < length) {
            const qreal step = std::min(position.left, length - done);
            if (position.index % 2 == 0 && step > 0.0) {
                pieces.append(QLineF(from + (to - from) * (done / length),
                                     from + (to - from) * ((done + step) / length)));
            }
            done += step;
            position.left -= step;
            if (position.left <= 0.0) {
                position.index = (position.index + 1) % pattern.size();
                position.left = pattern[position.index];
            }
        }
    }
    return pieces;
}
