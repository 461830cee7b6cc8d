#ifndef ZYRAPP_PLOTS_PLOTLEGENDS_H
#define ZYRAPP_PLOTS_PLOTLEGENDS_H

#include "plots/distancebar.h"
#include "plots/qhistogramplot.h"

// The legend box switches the histogram plot's legend and the distance bar's rows together.
inline void applyLegendBox(QHistogramPlot& histogramPlot, DistanceBar& distanceBar,
                           int checkState) {
    histogramPlot.applyLegendBox(checkState);
    distanceBar.setLegendVisible(checkState == Qt::Checked);
}

#endif // ZYRAPP_PLOTS_PLOTLEGENDS_H
