#ifndef ZYRAPP_PLOTS_QHISTOGRAMPLOT_H
#define ZYRAPP_PLOTS_QHISTOGRAMPLOT_H

#include <qcustomplot.h>

// The histogram plot of the histogram dock.
class QHistogramPlot : public QCustomPlot {
    Q_OBJECT

public:
    explicit QHistogramPlot(QWidget* parent = nullptr);
};

#endif // ZYRAPP_PLOTS_QHISTOGRAMPLOT_H
