#ifndef ZYRAPP_PLOTS_WIDELINEGRAPH_H
#define ZYRAPP_PLOTS_WIDELINEGRAPH_H

#include <qcustomplot.h>

// A line graph that draws a wide, opaque, aliased pen as separate line segments in one call,
// dashes included. The painter's stroker joins the segments of a wide polyline at many times
// the cost, for a look that differs only in a few pixels at the joins. Every other pen (hair
// lines, translucent or antialiased lines, vector output) is drawn as QCPGraph draws it.
class WideLineGraph : public QCPGraph {
    Q_OBJECT

public:
    WideLineGraph(QCPAxis* keyAxis, QCPAxis* valueAxis);

protected:
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;
};

#endif // ZYRAPP_PLOTS_WIDELINEGRAPH_H
