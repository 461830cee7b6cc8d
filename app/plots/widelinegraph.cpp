#include "widelinegraph.h"

#include "plots/linesegments.h"

WideLineGraph::WideLineGraph(QCPAxis* keyAxis, QCPAxis* valueAxis)
    : QCPGraph(keyAxis, valueAxis) {}

void WideLineGraph::drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const {
    const QPen pen = painter->pen();
    applyDefaultAntialiasingHint(painter);
    // Overlapping segment ends would blend a translucent or antialiased pen twice, and flat
    // caps would leave the corners open; those lines keep the stroker.
    const bool segmentsLookTheSame =
        pen.style() != Qt::NoPen && pen.widthF() > 1.0 && !pen.isCosmetic() &&
        pen.capStyle() == Qt::SquareCap && pen.brush().style() == Qt::SolidPattern &&
        pen.color().alpha() == 255 && !painter->testRenderHint(QPainter::Antialiasing) &&
        !painter->modes().testFlag(QCPPainter::pmVectorized) &&
        painter->transform().type() <= QTransform::TxScale;
    if (!segmentsLookTheSame) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    QVector<QLineF> segments;
    if (pen.style() == Qt::SolidLine) {
        segments = polylineSegments(lines);
    } else {
        // The pen's pattern counts in pen widths.
        QVector<qreal> pattern = pen.dashPattern();
        for (qreal& length : pattern)
            length *= pen.widthF();
        // Dashes beyond the clip are not made; the margin keeps their caps out of sight.
        const qreal margin = pen.widthF();
        const QRectF clip = QRectF(clipRect()).adjusted(-margin, -margin, margin, margin);
        segments = dashedSegments(lines, pattern, pen.dashOffset() * pen.widthF(), clip);
    }
    QPen solid = pen;
    solid.setStyle(Qt::SolidLine);
    painter->setPen(solid);
    painter->drawLines(segments);
    painter->setPen(pen);
}
