#include "qhistogramplot.h"

QHistogramPlot::QHistogramPlot(QWidget* parent)
    : QCustomPlot(parent) {}
