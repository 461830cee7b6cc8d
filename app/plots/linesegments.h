#ifndef ZYRAPP_PLOTS_LINESEGMENTS_H
#define ZYRAPP_PLOTS_LINESEGMENTS_H

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QVector>

// The segments of a polyline; a point with a NaN or infinite coordinate breaks the line.
QVector<QLineF> polylineSegments(const QVector<QPointF>& polyline);

// The pieces of a polyline that a dash pattern draws: pattern holds the lengths of dash, gap,
// dash, ... in the polyline's units and starts offset units in. As the painter's dashing does,
// the pattern runs on across the polyline's corners and starts over after each break. Only the
// pieces within clip are made: a line far beyond the view costs no more than one within it.
QVector<QLineF> dashedSegments(const QVector<QPointF>& polyline, const QVector<qreal>& pattern,
                               qreal offset, const QRectF& clip);

#endif // ZYRAPP_PLOTS_LINESEGMENTS_H
