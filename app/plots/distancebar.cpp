#include "distancebar.h"

#include "plots/qcpstringlegenditem.h"
#include "plots/qdistanceplot.h"
#include "plots/spacedlabelticker.h"

#include <qcustomplot.h>

#include <algorithm>

namespace {

struct DistanceScale {
    double maxDistance;
    double barWidth;
};

DistanceScale defaultScale(bool chipFamilyFlag) {
    return chipFamilyFlag ? DistanceScale{2500.0, 50.0} : DistanceScale{1000.0, 20.0};
}

// The legend stands inside the axis rect, whose margins hold the axes' numbers and labels. Both
// grow with the fonts, which the screen's DPI scales while the form limits the plot's height in
// pixels; so the plot takes a minimum size that fits the legend between the axes, and may grow
// above heightLimit, the form's limit, as far as that.
void keepRoomForTheLegend(QCustomPlot& plot, int heightLimit) {
    // The axis rect's margins as the replot works them out from the axes' fonts and ticks.
    plot.plotLayout()->update(QCPLayoutElement::upPreparation);
    plot.plotLayout()->update(QCPLayoutElement::upMargins);
    const QCPAxisRect* axisRect = plot.axisRect();
    const QMargins axisMargins = axisRect->margins();
    QSize needed(axisMargins.left() + axisMargins.right(),
                 axisMargins.top() + axisMargins.bottom());
    if (plot.legend->visible()) {
        const QMargins insetMargins = axisRect->insetLayout()->margins();
        needed +=
            plot.legend->minimumOuterSizeHint() + QSize(insetMargins.left() + insetMargins.right(),
                                                        insetMargins.top() + insetMargins.bottom());
    }
    plot.setMaximumHeight(std::max(heightLimit, needed.height()));
    plot.setMinimumSize(needed);
}

} // namespace

DistanceBar::DistanceBar(QCustomPlot* plot)
    : itsPlot(plot) {}

void DistanceBar::setup(bool chipFamilyFlag) {
    if (itsPlot == nullptr || itsBars != nullptr)
        return;
    const DistanceScale scale = defaultScale(chipFamilyFlag);
    itsPlot->setNotAntialiasedElements(QCP::aePlottables);
    itsPlot->xAxis->setRange(0, scale.maxDistance);
    itsPlot->xAxis->setLabel(QStringLiteral("Distance [mm]"));
    QFont legendFont = itsPlot->font();
    legendFont.setPointSize(8);
    itsPlot->legend->setFont(legendFont);
    itsPlot->legend->setSelectedFont(legendFont);
    itsPlot->yAxis->setRange(0, confidenceMax);
    itsPlot->yAxis->setLabel(QStringLiteral("Confidence [-]"));
    // The plot is low: few confidence ticks, and legend rows packed tightly so all five fit.
    SpacedLabelTicker::installOn(itsPlot);
    itsPlot->yAxis->ticker()->setTickCount(3);

    itsBars = new QCPBars(itsPlot->xAxis, itsPlot->yAxis);
    itsBars->setName(QStringLiteral("Object Distance & Confidence"));
    itsBars->setPen(Qt::NoPen);
    itsBars->setBrush(QBrush(QColor(10, 140, 70, 160), Qt::SolidPattern));
    itsBars->setWidth(scale.barWidth);

    itsPlot->legend->clearItems();
    itsPlot->legend->setBrush(Qt::NoBrush);
    itsPlot->legend->setRowSpacing(0);
    itsPlot->legend->setMargins(QMargins(4, 2, 4, 2));
    const auto insertRow = [this](const QString& text) {
        auto* item = new QCPStringLegendItem(itsPlot->legend, text);
        item->setMargins(QMargins(4, 1, 4, 1));
        itsPlot->legend->insertRow(0);
        itsPlot->legend->addElement(0, 0, item);
        return item;
    };
    itsTemperatureItem = insertRow(QStringLiteral("Temperature: "));
    itsObjectPhotonsItem = insertRow(QStringLiteral("Photon Count Object: "));
    itsReferencePhotonsItem = insertRow(QStringLiteral("Photon Count Reference: "));
    itsConfidenceItem = insertRow(QStringLiteral("Confidence: "));
    itsPeakItem = insertRow(QStringLiteral("Peak at: "));
    // Checked before every drawing, as the rows' texts, their number and the legend's
    // visibility change. A larger minimum size resizes the plot at once, before it is laid out.
    QCustomPlot* plot = itsPlot;
    const int heightLimit = plot->maximumHeight();
    QObject::connect(plot, &QCustomPlot::beforeReplot, plot,
                     [plot, heightLimit] { keepRoomForTheLegend(*plot, heightLimit); });
}

void DistanceBar::update(const QDistancePlot& distancePlot) {
    showMeasurement(distancePlot.latestDistance(), distancePlot.latestConfidence(),
                    distancePlot.referencePhotonCount(), distancePlot.objectPhotonCount());
}

void DistanceBar::showMeasurement(int distance, int confidence, uint32_t referencePhotonCount,
                                  uint32_t objectPhotonCount) {
    if (itsBars == nullptr)
        return;
    const int d = distance & 0xFFFF;
    const int c = confidence & 63;
    // One bar, its point written in place once it exists.
    QCPBarsDataContainer& data = *itsBars->data();
    if (data.isEmpty())
        data.add(QCPBarsData(d, c));
    else
        *data.begin() = QCPBarsData(d, c);

    itsReferencePhotonsItem->setText(QStringLiteral("Photon Count Reference: ") +
                                     QString::number(referencePhotonCount));
    itsObjectPhotonsItem->setText(QStringLiteral("Photon Count Object: ") +
                                  QString::number(objectPhotonCount));
    if (c != 0) {
        itsPeakItem->setText(QStringLiteral("Peak at: %1 mm").arg(d));
        itsConfidenceItem->setText(QStringLiteral("Confidence: %1 of 63").arg(c));
    } else {
        itsPeakItem->setText(QStringLiteral("Peak at: -"));
        itsConfidenceItem->setText(QStringLiteral("Confidence: -"));
    }
    itsPlot->replot(QCustomPlot::rpQueuedReplot);
}

void DistanceBar::setTemperatureText(const QString& text) {
    if (itsTemperatureItem != nullptr)
        itsTemperatureItem->setText(text);
}

void DistanceBar::setTemperatureVisible(bool visible) {
    if (itsTemperatureItem == nullptr)
        return;
    // A hidden row would still take its height, so it leaves the legend while hidden; the
    // plot stays its owner.
    QCPLegend* legend = itsPlot->legend;
    const bool inLegend = itsTemperatureItem->layout() != nullptr;
    if (visible && !inLegend) {
        legend->addElement(legend->rowCount(), 0, itsTemperatureItem);
    } else if (!visible && inLegend) {
        legend->take(itsTemperatureItem);
        legend->simplify();
    }
    itsTemperatureItem->setVisible(visible);
}

void DistanceBar::setLegendVisible(bool visible) {
    if (itsPlot == nullptr)
        return;
    itsPlot->legend->setVisible(visible);
    itsPlot->replot(QCustomPlot::rpQueuedReplot);
}

void DistanceBar::applyOperationMode(int index, bool chipFamilyFlag) {
    constexpr int proximityMode = 1;
    const DistanceScale scale =
        index == proximityMode ? DistanceScale{100.0, 2.0} : defaultScale(chipFamilyFlag);
    setDistanceScale(scale.maxDistance, scale.barWidth);
}

void DistanceBar::applyFourMeterMode(bool fourMeterMode) {
    setDistanceScale(fourMeterMode ? 4250.0 : 2500.0, 0.0);
}

void DistanceBar::setDistanceScale(double maxDistance, double barWidth) {
    if (itsBars == nullptr)
        return;
    itsPlot->xAxis->setRange(0, maxDistance);
    if (barWidth > 0.0)
        itsBars->setWidth(barWidth);
    itsPlot->replot(QCustomPlot::rpQueuedReplot);
}

QStringList DistanceBar::rowTexts() const {
    if (itsPeakItem == nullptr)
        return {};
    return {itsPeakItem->text(), itsConfidenceItem->text(), itsReferencePhotonsItem->text(),
            itsObjectPhotonsItem->text(), itsTemperatureItem->text()};
}
