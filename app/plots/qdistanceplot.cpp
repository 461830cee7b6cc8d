#include "qdistanceplot.h"

QDistancePlot::QDistancePlot(QWidget* parent)
    : QCustomPlot(parent) {}
