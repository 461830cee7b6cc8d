#ifndef ZYRAPP_PLOTS_QDISTANCEPLOT_H
#define ZYRAPP_PLOTS_QDISTANCEPLOT_H

#include <qcustomplot.h>

// The distance-versus-time plot of the distance dock.
class QDistancePlot : public QCustomPlot {
    Q_OBJECT

public:
    explicit QDistancePlot(QWidget* parent = nullptr);
};

#endif // ZYRAPP_PLOTS_QDISTANCEPLOT_H
