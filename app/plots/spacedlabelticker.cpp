#include "spacedlabelticker.h"

#include <QFontMetrics>

#include <cmath>

SpacedLabelTicker::SpacedLabelTicker(QCPAxis* axis)
    : itsAxis(axis) {}

void SpacedLabelTicker::installOn(QCustomPlot* plot) {
    for (QCPAxis* axis : plot->axisRect()->axes()) {
        QSharedPointer<SpacedLabelTicker> ticker(new SpacedLabelTicker(axis));
        ticker->setTickCount(axis->ticker()->tickCount());
        axis->setTicker(ticker);
    }
    // Ticks are made before the layout places the axes, from the lengths of the last layout;
    // after a resize they are made again for the lengths the axes have now.
    QObject::connect(plot, &QCustomPlot::afterLayout, plot, [plot] {
        bool changed = false;
        for (QCPAxis* axis : plot->axisRect()->axes()) {
            auto ticker = qSharedPointerDynamicCast<SpacedLabelTicker>(axis->ticker());
            changed = (ticker && ticker->takeLengthChanged()) || changed;
        }
        if (changed)
            plot->replot(QCustomPlot::rpQueuedReplot);
    });
}

void SpacedLabelTicker::generate(const QCPRange& range, const QLocale& locale, QChar formatChar,
                                 int precision, QVector<double>& ticks, QVector<double>* subTicks,
                                 QVector<QString>* tickLabels) {
    itsLocale = locale;
    itsFormatChar = formatChar;
    itsPrecision = precision;
    itsTickedLength = axisLength();
    QCPAxisTicker::generate(range, locale, formatChar, precision, ticks, subTicks, tickLabels);
}

double SpacedLabelTicker::getTickStep(const QCPRange& range) {
    double step = QCPAxisTicker::getTickStep(range);
    // An axis that draws no labels has nothing to keep apart; measuring its labels would double
    // the cost of every replot, as each plot hides two of its four axes. Measured also at no
    // length (not laid out yet, or a plot smaller than its margins): the labels then meet at one
    // point, and one is left.
    if (!itsAxis->visible() || !itsAxis->tickLabels() || !(step > 0.0))
        return step;
    // Past the range's size at most one label is left, which keeps apart; at least one is: two
    // neighbouring multiples of a step always hold one of the next readable step.
    while (!labelsKeepApart(range, step))
        step = nextReadableStep(step);
    return step;
}

int SpacedLabelTicker::axisLength() const {
    const QCPAxisRect* rect = itsAxis->axisRect();
    return itsAxis->orientation() == Qt::Horizontal ? rect->width() : rect->height();
}

bool SpacedLabelTicker::labelsKeepApart(const QCPRange& range, double step) {
    const QFontMetrics metrics(itsAxis->tickLabelFont());
    const int space = metrics.horizontalAdvance(QLatin1Char(' '));
    const bool horizontal = itsAxis->orientation() == Qt::Horizontal;
    bool first = true;
    double previousCentre = 0.0;
    double previousHalf = 0.0;
    for (double tick : createTickVector(step, range)) {
        // Only ticks inside the range get a label.
        if (!range.contains(tick))
            continue;
        const QRect box = metrics.boundingRect(
            QRect(), Qt::TextDontClip, getTickLabel(tick, itsLocale, itsFormatChar, itsPrecision));
        const double half = (horizontal ? box.width() : box.height()) / 2.0;
        const double centre = itsAxis->coordToPixel(tick);
        if (!first && std::abs(centre - previousCentre) - half - previousHalf < space)
            return false;
        first = false;
        previousCentre = centre;
        previousHalf = half;
    }
    return true;
}

double SpacedLabelTicker::nextReadableStep(double step) const {
    double magnitude = 1.0;
    // Rounding can leave the mantissa of a power of ten at 10 instead of 1.
    const double mantissa = getMantissa(step, &magnitude);
    for (double next : {2.0, 2.5, 5.0, 10.0}) {
        if (next > mantissa * (1.0 + 1e-9))
            return next * magnitude;
    }
    return 20.0 * magnitude;
}

bool SpacedLabelTicker::takeLengthChanged() {
    const bool changed = itsTickedLength.has_value() && *itsTickedLength != axisLength();
    itsTickedLength.reset();
    return changed;
}
