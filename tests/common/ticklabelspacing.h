#ifndef TESTS_COMMON_TICKLABELSPACING_H
#define TESTS_COMMON_TICKLABELSPACING_H

#include <qcustomplot.h>

#include <QFontMetrics>
#include <QStringList>

#include <cmath>

// Neighbouring tick labels of the plot's shown axes that come closer than a space, as the plot's
// last drawing placed them: each label centred on its tick, measured in the axis's label font.
inline QStringList crowdedTickLabels(const QCustomPlot& plot) {
    QStringList found;
    for (const QCPAxis* axis : plot.axisRect()->axes()) {
        if (!axis->visible() || !axis->tickLabels())
            continue;
        const QFontMetrics metrics(axis->tickLabelFont());
        const bool horizontal = axis->orientation() == Qt::Horizontal;
        const QVector<double> ticks = axis->tickVector();
        const QVector<QString> labels = axis->tickVectorLabels();
        QString previous;
        double previousCentre = 0.0;
        double previousHalf = 0.0;
        for (int i = 0; i < ticks.size(); ++i) {
            if (!axis->range().contains(ticks[i]))
                continue;
            const QRect box = metrics.boundingRect(QRect(), Qt::TextDontClip, labels[i]);
            const double half = (horizontal ? box.width() : box.height()) / 2.0;
            const double centre = axis->coordToPixel(ticks[i]);
            const double gap = std::abs(centre - previousCentre) - half - previousHalf;
            if (!previous.isNull() && gap < metrics.horizontalAdvance(QLatin1Char(' ')))
                found << QString("%1 %2: \"%3\" and \"%4\" %5 px apart")
                             .arg(plot.objectName(), axis->label(), previous, labels[i])
                             .arg(gap);
            previous = labels[i];
            previousCentre = centre;
            previousHalf = half;
        }
    }
    return found;
}

#endif // TESTS_COMMON_TICKLABELSPACING_H
