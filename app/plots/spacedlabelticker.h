#ifndef ZYRAPP_PLOTS_SPACEDLABELTICKER_H
#define ZYRAPP_PLOTS_SPACEDLABELTICKER_H

#include <qcustomplot.h>

#include <QLocale>

#include <optional>

// A ticker that keeps an axis's tick labels apart: it starts from the step its tick count asks
// for and widens it along the readable steps (1, 2, 2.5, 5 times a power of ten) until no two
// labels, in the axis's label font and at the axis's length, come closer than a space. Large
// fonts (a dense screen) or a short axis then give fewer ticks instead of labels run together.
class SpacedLabelTicker : public QCPAxisTicker {
public:
    explicit SpacedLabelTicker(QCPAxis* axis);

    // Gives every axis of the plot a ticker of this kind with the tick count it had, and replots
    // once more when the layout has changed an axis's length since its ticks were made.
    static void installOn(QCustomPlot* plot);

    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                  QVector<double>& ticks, QVector<double>* subTicks,
                  QVector<QString>* tickLabels) override;

protected:
    double getTickStep(const QCPRange& range) override;

private:
    int axisLength() const;
    bool labelsKeepApart(const QCPRange& range, double step);
    double nextReadableStep(double step) const;
    // True once after ticks were made for another length than the axis has now.
    bool takeLengthChanged();

    QCPAxis* itsAxis;
    QLocale itsLocale;
    QChar itsFormatChar;
    int itsPrecision = 0;
    // The axis length the last ticks were made for, which a plot smaller than its margins makes
    // negative; none once checked against the layout.
    std::optional<int> itsTickedLength;
};

#endif // ZYRAPP_PLOTS_SPACEDLABELTICKER_H
