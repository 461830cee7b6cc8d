#include "linesegments.h"

#include <QtMath>

#include <cmath>

namespace {

bool isPoint(const QPointF& point) {
    return qIsFinite(point.x()) && qIsFinite(point.y());
}

// Where a dash pattern stands: the current entry (even: dash, odd: gap) and what is left of it.
struct DashPosition {
    int index = 0;
    qreal left = 0.0;
};

// The position `distance` further along; whole patterns are skipped at once, so a long stretch
// outside the clip costs no more than a short one.
DashPosition advanced(const QVector<qreal>& pattern, qreal patternLength, DashPosition position,
                      qreal distance) {
    if (distance < position.left) {
        position.left -= distance;
        return position;
    }
    distance -= position.left;
    position.index = (position.index + 1) % pattern.size();
    position.left = pattern[position.index];
    distance = std::fmod(distance, patternLength);
    while (distance >= position.left) {
        distance -= position.left;
        position.index = (position.index + 1) % pattern.size();
        position.left = pattern[position.index];
    }
    position.left -= distance;
    return position;
}

DashPosition dashStart(const QVector<qreal>& pattern, qreal patternLength, qreal offset) {
    const qreal skip = offset - std::floor(offset / patternLength) * patternLength;
    return advanced(pattern, patternLength, DashPosition{0, pattern[0]}, skip);
}

// The part of the line from `from` to `to` inside clip, as fractions of its length; false when
// none of it is.
bool tryGetInside(const QPointF& from, const QPointF& to, const QRectF& clip, qreal& enter,
                  qreal& leave) {
    enter = 0.0;
    leave = 1.0;
    const qreal start[2] = {from.x(), from.y()};
    const qreal delta[2] = {to.x() - from.x(), to.y() - from.y()};
    const qreal low[2] = {clip.left(), clip.top()};
    const qreal high[2] = {clip.right(), clip.bottom()};
    for (int axis = 0; axis < 2; ++axis) {
        if (delta[axis] == 0.0) {
            if (start[axis] < low[axis] || start[axis] > high[axis])
                return false;
            continue;
        }
        qreal atLow = (low[axis] - start[axis]) / delta[axis];
        qreal atHigh = (high[axis] - start[axis]) / delta[axis];
        if (atLow > atHigh)
            std::swap(atLow, atHigh);
        enter = std::max(enter, atLow);
        leave = std::min(leave, atHigh);
    }
    return enter <= leave;
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
                               qreal offset, const QRectF& clip) {
    qreal patternLength = 0.0;
    for (qreal length : pattern) {
        if (!(length >= 0.0))
            return polylineSegments(polyline);
        patternLength += length;
    }
    if (pattern.size() % 2 != 0 || !(patternLength > 0.0) || std::isinf(patternLength) ||
        !qIsFinite(offset))
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
        qreal enter = 0.0;
        qreal leave = 0.0;
        if (!tryGetInside(from, to, clip, enter, leave)) {
            position = advanced(pattern, patternLength, position, length);
            continue;
        }
        qreal done = enter * length;
        const qreal end = leave * length;
        position = advanced(pattern, patternLength, position, done);
        while (done < end) {
            const qreal step = std::min(position.left, end - done);
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
        position = advanced(pattern, patternLength, position, length - end);
    }
    return pieces;
}
