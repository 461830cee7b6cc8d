#include "testregistry.h"

#include "Communication/comstream.h"
#include "framefakedriver.h"
#include "logging.h"
#include "plots/distancebar.h"
#include "plots/linesegments.h"
#include "plots/qcpstringlegenditem.h"
#include "plots/qdistanceplot.h"
#include "plots/qhistogramplot.h"
#include "plots/spacedlabelticker.h"
#include "simulatedsensor.h"
#include "ticklabelspacing.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <vector>

using ZyrCore::Communication::ComStream;
using Histogram = std::vector<uint16_t>; // 5 channels x 256 bins

namespace {

// The simulated sensor's confidence falls from 63 to 0 at 1.25 times the 2500 mm object range of
// its default chip: 63 - 63 * 1200 / 3125.
constexpr int kConfidenceAt1200 = 39;

QStringList legendTexts(QCustomPlot& plot) {
    QStringList texts;
    for (int i = 0; i < plot.legend->itemCount(); ++i) {
        if (auto* row = qobject_cast<QCPStringLegendItem*>(plot.legend->item(i)))
            texts << row->text();
        else if (auto* row = qobject_cast<QCPPlottableLegendItem*>(plot.legend->item(i)))
            texts << row->plottable()->name();
    }
    return texts;
}

// Ink of a colour in a rendered plot: a pixel within a small distance of it.
bool isInk(QRgb pixel, QColor colour) {
    return std::abs(qRed(pixel) - colour.red()) <= 12 &&
           std::abs(qGreen(pixel) - colour.green()) <= 12 &&
           std::abs(qBlue(pixel) - colour.blue()) <= 12;
}

// A pen's colour as it shows over the plot's white background.
QColor overWhite(const QColor& colour) {
    const double alpha = colour.alphaF();
    const auto blend = [alpha](int channel) { return qRound(channel * alpha + 255 * (1 - alpha)); };
    return QColor(blend(colour.red()), blend(colour.green()), blend(colour.blue()));
}

// The plot as its layers draw it, and as the widget shows their buffers.
QImage drawnImage(QCustomPlot& plot) {
    return plot.toPixmap(plot.width(), plot.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage shownImage(QCustomPlot& plot) {
    QCoreApplication::processEvents();
    return plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QVector<double> values(QCPGraph* graph) {
    QVector<double> result;
    for (const QCPGraphData& point : *graph->data())
        result << point.value;
    return result;
}

// The simulated sensor behind a real stream, on a clock the test drives.
struct SensorRig {
    explicit SensorRig(int targetMm = 0)
        : sensor(config(targetMm), [this] { return now; })
        , driver(&firmware)
        , stream(&driver, ComStream::theImmediateFlushPolicy) {
        sensor.install(firmware);
        stream.open();
    }
    static ZyrSim::SensorConfig config(int targetMm) {
        ZyrSim::SensorConfig config;
        config.targetMm = targetMm;
        config.seed = 3;
        return config;
    }
    qint64 now = 100000;
    ZyrSim::SimulatedSensor sensor;
    ZyrSim::FirmwareTable firmware;
    FrameFakeDriver driver;
    ComStream stream;
};

} // namespace

class TestPlots : public QObject {
    Q_OBJECT

private slots:
    void dashesRunOnAcrossCorners_data();
    void dashesRunOnAcrossCorners();
    void histogramPensAreDrawnAsSet_data();
    void histogramPensAreDrawnAsSet();
    void refreshShowsWhatAWholeReplotShows_data();
    void refreshShowsWhatAWholeReplotShows();
    void legendTextRowsShowTheirWholeText_data();
    void legendTextRowsShowTheirWholeText();
    void rescaleRules_data();
    void rescaleRules();
    void rescaleRateLimitFollowsClock();
    void forcedRescaleWindow_data();
    void forcedRescaleWindow();
    void snapshotEmptiesHiddenTypes();
    void legendFollowsVisibilityAndChipFlag();
    void distanceWindowKeepsTimeAndSkipsFailedExchanges();
    void distanceBarShowsNewestMeasurement_data();
    void distanceBarShowsNewestMeasurement();
    void tickLabelsStayApartAsThePlotShrinks_data();
    void tickLabelsStayApartAsThePlotShrinks();
    void shortAxisKeepsOneOfTwoCollidingLabels_data();
    void shortAxisKeepsOneOfTwoCollidingLabels();
};

void TestPlots::dashesRunOnAcrossCorners_data() {
    const qreal nan = qQNaN();
    QTest::addColumn<QVector<QPointF>>("polyline");
    QTest::addColumn<QVector<qreal>>("pattern");
    QTest::addColumn<qreal>("offset");
    QTest::addColumn<QRectF>("clip");
    QTest::addColumn<QVector<QLineF>>("pieces");
    const QVector<QPointF> corner{{0, 0}, {5, 0}, {5, 5}};
    const QRectF all(-100, -100, 200, 200);
    const QRectF band(-10, -10, 20, 20);
    QTest::newRow("gap across a corner") << corner << QVector<qreal>{4, 2} << 0.0 << all
                                         << QVector<QLineF>{{0, 0, 4, 0}, {5, 1, 5, 5}};
    QTest::newRow("dash across a corner") << corner << QVector<qreal>{4, 2} << 1.0 << all
                                          << QVector<QLineF>{{0, 0, 3, 0}, {5, 0, 5, 4}};
    QTest::newRow("offset beyond the pattern") << corner << QVector<qreal>{4, 2} << 7.0 << all
                                               << QVector<QLineF>{{0, 0, 3, 0}, {5, 0, 5, 4}};
    QTest::newRow("break starts over")
        << QVector<QPointF>{{0, 0}, {3, 0}, {nan, nan}, {10, 0}, {13, 0}} << QVector<qreal>{2, 2}
        << 0.0 << all << QVector<QLineF>{{0, 0, 2, 0}, {10, 0, 12, 0}};
    QTest::newRow("no pattern: solid") << corner << QVector<qreal>{0, 0} << 0.0 << all
                                       << QVector<QLineF>{{0, 0, 5, 0}, {5, 0, 5, 5}};
    QTest::newRow("out of the clip and back: the pattern runs on")
        << QVector<QPointF>{{0, 0}, {0, -30}, {0, 0}} << QVector<qreal>{4, 2} << 0.0 << band
        << QVector<QLineF>{{0, 0, 0, -4}, {0, -6, 0, -10}, {0, -10, 0, -8}, {0, -6, 0, -2}};
    QTest::newRow("far beyond the clip")
        << QVector<QPointF>{{0, -1048576}, {0, 0}} << QVector<qreal>{4, 4} << 0.0 << band
        << QVector<QLineF>{{0, -8, 0, -4}};
}

void TestPlots::dashesRunOnAcrossCorners() {
    QFETCH(QVector<QPointF>, polyline);
    QFETCH(QVector<qreal>, pattern);
    QFETCH(qreal, offset);
    QFETCH(QRectF, clip);
    QTEST(dashedSegments(polyline, pattern, offset, clip), "pieces");
}

void TestPlots::histogramPensAreDrawnAsSet_data() {
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("dashPeriod"); // pixels from one dash to the next; 0: solid
    const auto row = [](const char* name, QHistogramPlot::DataSet set, int type, int channel,
                        const QColor& colour, int width, Qt::PenStyle style = Qt::SolidLine,
                        int dashPeriod = 0) {
        QTest::newRow(name) << int(set) << type << channel << colour << width << int(style)
                            << dashPeriod;
    };
    const auto current = QHistogramPlot::CurrentSet;
    const auto previous = QHistogramPlot::PreviousSet;
    row("proximity reference", current, 0, 0, Qt::green, 1);
    row("raw zone 1", current, 1, 1, Qt::red, 1);
    row("calibration zone 4, previous", previous, 4, 4, QColor(0, 128, 128, 224), 1);
    row("processed curve", current, 2, 0, Qt::green, 2);
    row("processed curve, previous", previous, 2, 0, QColor(0, 128, 0, 224), 2);
    row("processed raw curve", current, 2, 1, Qt::red, 1);
    row("smudge level", current, 2, 3, Qt::blue, 2, Qt::DashLine, 12);
    row("smudge level, previous", previous, 2, 3, QColor(0, 0, 128, 224), 2, Qt::DashLine, 12);
    row("baseline", current, 2, 4, Qt::cyan, 2, Qt::DotLine, 6);
    row("baseline, previous", previous, 2, 4, QColor(0, 128, 128, 224), 2, Qt::DotLine, 6);
    row("summed", current, 3, 0, QColor(0, 127, 0), 2);
    row("summed, previous", previous, 3, 0, QColor(209, 255, 183, 224), 2);
    row("summed zone 1", current, 3, 1, Qt::red, 1);
}

// The pens as set and as they reach the screen: a flat histogram drawn as a line of the pen's
// colour, as thick as the pen, broken by the pen's dashes.
void TestPlots::histogramPensAreDrawnAsSet() {
    QFETCH(int, set);
    QFETCH(int, type);
    QFETCH(int, channel);
    QFETCH(QColor, colour);
    QFETCH(int, width);
    QFETCH(int, style);
    QFETCH(int, dashPeriod);
    QHistogramPlot plot;
    QCPGraph* graph = plot.histogramGraph(QHistogramPlot::DataSet(set), type, channel);
    QCOMPARE(graph->pen().color(), colour);
    QCOMPARE(graph->pen().widthF(), double(width));
    QCOMPARE(int(graph->pen().style()), style);
    QCOMPARE(graph->lineStyle(), QCPGraph::lsLine);

    plot.resize(600, 300);
    plot.show();
    plot.xAxis->grid()->setVisible(false);
    plot.yAxis->grid()->setVisible(false);
    plot.setTypeVisible(type, true);
    plot.setChannelVisible(type, channel, true);
    const Histogram bins(5 * 256, 90);
    plot.setHistogramData(type, bins.data());
    plot.takeSnapshot();
    plot.setShowPrevious(set == QHistogramPlot::PreviousSet);
    if (set == QHistogramPlot::PreviousSet)
        plot.setHistogramData(type, Histogram(5 * 256, 0).data());
    const QImage image = drawnImage(plot);
    const QColor ink = overWhite(colour);

    // Across the line where a dash crosses the middle of the plot.
    const int y = qRound(plot.yAxis->coordToPixel(90));
    QVector<int> inkRows;
    for (int x = qRound(plot.xAxis->coordToPixel(128)); inkRows.isEmpty() && x < 400; ++x) {
        for (int row = y - 4; row <= y + 4; ++row)
            if (isInk(image.pixel(x, row), ink))
                inkRows << row;
    }
    QCOMPARE(inkRows.size(), width);
    QCOMPARE(inkRows.last() - inkRows.first(), width - 1);

    QVector<int> dashStarts;
    bool inDash = false;
    const int from = qRound(plot.xAxis->coordToPixel(20));
    const int to = qRound(plot.xAxis->coordToPixel(230));
    for (int column = from; column < to; ++column) {
        const bool inked = isInk(image.pixel(column, inkRows.first()), ink);
        if (inked && !inDash && column > from)
            dashStarts << column;
        inDash = inked;
    }
    if (dashPeriod == 0) {
        QCOMPARE(dashStarts, QVector<int>());
        QVERIFY(inDash);
    } else {
        QVERIFY(dashStarts.size() > 10);
        for (int i = 1; i < dashStarts.size(); ++i)
            QCOMPARE(dashStarts[i] - dashStarts[i - 1], dashPeriod);
    }
}

void TestPlots::refreshShowsWhatAWholeReplotShows_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("wholeReplots"); // -1: as the font's widths decide
    QTest::newRow("new data") << "data" << 0;
    QTest::newRow("hits text") << "hits" << -1;
    QTest::newRow("snapshot shown") << "snapshot" << 0;
    QTest::newRow("legend row removed") << "channel" << 1;
    QTest::newRow("legend hidden") << "legend" << 1;
    QTest::newRow("axis range") << "range" << 1;
}

// Redrawing only what changed must leave the plot as a whole replot would draw it.
void TestPlots::refreshShowsWhatAWholeReplotShows() {
    QFETCH(QString, change);
    Histogram proximity(5 * 256, 3), processed(5 * 256);
    for (size_t bin = 0; bin < processed.size(); ++bin)
        processed[bin] = uint16_t(400 + 300 * std::sin(bin / 9.0));
    QHistogramPlot plot;
    plot.resize(700, 350);
    plot.show();
    plot.setLegendVisible(true);
    for (int type : {QHistogramPlot::Proximity, QHistogramPlot::Processed}) {
        plot.setTypeVisible(type, true);
        for (int channel : {0, 1, 3})
            plot.setChannelVisible(type, channel, true);
    }
    Histogram fewHits(5 * 256, 0);
    fewHits[256 + 9] = 7;
    plot.setProximityData(fewHits.data());
    plot.setProcessedData(processed.data());
    plot.takeSnapshot();
    plot.replot();
    shownImage(plot);
    QCOMPARE(plot.hitsText(), QStringLiteral("Proximity Hits: 7"));

    int replots = 0;
    connect(&plot, &QCustomPlot::afterReplot, [&replots] { ++replots; });
    std::rotate(processed.begin(), processed.begin() + 7, processed.end());
    plot.setProcessedData(processed.data());
    if (change == "hits")
        plot.setProximityData(proximity.data());
    else if (change == "snapshot")
        plot.takeSnapshot(), plot.setShowPrevious(true);
    else if (change == "channel")
        plot.setChannelVisible(QHistogramPlot::Processed, 3, false);
    else if (change == "legend")
        plot.setLegendVisible(false);
    else if (change == "range")
        plot.setXAxisMax(200);
    plot.refresh();
    const QImage refreshed = shownImage(plot);
    QFETCH(int, wholeReplots);
    if (wholeReplots >= 0)
        QCOMPARE(replots, wholeReplots);
    plot.replot();
    QCOMPARE(refreshed, shownImage(plot));
}

void TestPlots::legendTextRowsShowTheirWholeText_data() {
    QTest::addColumn<bool>("distanceBar");
    QTest::addColumn<QString>("text");
    QTest::newRow("hits row") << false << "Proximity Hits: -";
    QTest::newRow("hits row, long range") << false << "Short Range Hits: -";
    QTest::newRow("distance bar row") << true << "Photon Count Object: jgpqy";
}

// Every pixel of a row's text, as the font draws it unclipped, reaches the screen.
void TestPlots::legendTextRowsShowTheirWholeText() {
    QFETCH(bool, distanceBar);
    QFETCH(QString, text);
    QHistogramPlot histogramPlot;
    QCustomPlot barPlot;
    DistanceBar bar(&barPlot);
    QCustomPlot* plot = &histogramPlot;
    QCPStringLegendItem* row = nullptr;
    if (distanceBar) {
        plot = &barPlot;
        bar.setup(true);
        bar.setLegendVisible(true);
        row = qobject_cast<QCPStringLegendItem*>(barPlot.legend->item(3));
        row->setText(text);
    } else {
        histogramPlot.setChipFamilyFlag(text.startsWith("Short"));
        histogramPlot.setLegendVisible(true);
        row = qobject_cast<QCPStringLegendItem*>(histogramPlot.legend->item(0));
    }
    QCOMPARE(row->text(), text);
    plot->resize(700, distanceBar ? 200 : 350);
    plot->show();
    const QImage shown = drawnImage(*plot);

    const QFontMetrics metrics(row->font());
    const QRect textRect = metrics.boundingRect(0, 0, 0, 0, Qt::TextDontClip, text);
    // The row's text drawn as the row draws it, on the same kind of device, but unclipped.
    QPixmap unclipped(shown.size());
    unclipped.fill(Qt::white);
    QCPPainter painter(&unclipped);
    painter.setAntialiasing(row->antialiased());
    painter.setFont(row->font());
    painter.setPen(Qt::black);
    painter.drawText(QRect(row->rect().left() + row->margins().left(), row->rect().top(),
                           textRect.width(), textRect.height()),
                     Qt::TextDontClip | Qt::AlignHCenter, text);
    painter.end();
    const QImage alone = unclipped.toImage().convertToFormat(QImage::Format_RGB32);
    int textPixels = 0;
    for (int y = 0; y < alone.height(); ++y) {
        for (int x = 0; x < alone.width(); ++x) {
            if (qGray(alone.pixel(x, y)) > 96)
                continue;
            ++textPixels;
            QVERIFY2(qGray(shown.pixel(x, y)) <= 160,
                     qPrintable(QStringLiteral("text pixel %1,%2 missing").arg(x).arg(y)));
        }
    }
    QVERIFY(textPixels > 50);
}

void TestPlots::rescaleRules_data() {
    QTest::addColumn<bool>("autoScale");
    QTest::addColumn<int>("lastBin");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("xMax");
    QTest::addColumn<int>("yMax");
    QTest::newRow("automatic scaling off") << false << 200 << 5000 << 256 << 256;
    QTest::newRow("all zero") << true << 0 << 0 << 256 << 80;
    QTest::newRow("count 30") << true << 10 << 30 << 64 << 40;
    QTest::newRow("count 31") << true << 100 << 31 << 100 << 80;
    QTest::newRow("count 20000") << true << 200 << 20000 << 200 << 20800;
}

// Hidden channels and the reference channel's counts must not steer the axes or the hits row.
void TestPlots::rescaleRules() {
    QFETCH(bool, autoScale);
    QFETCH(int, lastBin);
    QFETCH(int, count);
    QHistogramPlot plot;
    plot.setClock([] { return qint64(0); });
    plot.setAutoScaleX(autoScale);
    plot.setAutoScaleY(autoScale);
    plot.setProximityVisible(true);
    plot.setProximityChannelVisible(1, true);
    plot.setForceRescale(true);
    Histogram bins(5 * 256, 0);
    bins[0] = 7;
    bins[256 + lastBin] = uint16_t(count);
    bins[3 * 256 + 250] = 60000;
    plot.setProximityData(bins.data());
    QTEST(plot.xAxisMax(), "xMax");
    QTEST(plot.yAxisMax(), "yMax");
    QCOMPARE(plot.hitsText(), QStringLiteral("Proximity Hits: %1").arg(count + 60000));
    QVERIFY(plot.histogramGraph(QHistogramPlot::CurrentSet, 0, 1)->visible());
    QVERIFY(!plot.histogramGraph(QHistogramPlot::CurrentSet, 0, 3)->visible());
}

void TestPlots::rescaleRateLimitFollowsClock() {
    qint64 now = 0;
    QHistogramPlot plot;
    plot.setClock([&now] { return now; });
    plot.setAutoScaleY(true);
    plot.setDistanceVisible(true);
    plot.setDistanceChannelVisible(0, true);
    Histogram bins(5 * 256, 0);
    const auto update = [&](qint64 at, uint16_t count) {
        now = at;
        bins[9] = count;
        plot.setDistanceData(bins.data());
        return plot.yAxisMax();
    };
    QCOMPARE(update(500, 30), 256);
    QCOMPARE(update(1001, 30), 40);
    QCOMPARE(update(1501, 100), 40);
    plot.setForceRescale(true);
    QCOMPARE(update(1502, 100), 160);
    QCOMPARE(update(1503, 200), 320);
    plot.resetRescaleSingleShot();
    QCOMPARE(update(1504, 30), 320);
    QCOMPARE(update(2504, 30), 40);
}

void TestPlots::forcedRescaleWindow_data() {
    // Updates at these milliseconds, "F" where a forced rescale is asked for just before; and
    // for each update whether it rescales ("R") or not ("-").
    QTest::addColumn<QString>("updates");
    QTest::addColumn<QString>("rescales");
    QTest::newRow("one request") << "F10 60 109 110 900"
                                 << "RRR--";
    QTest::newRow("continuous cycles do not extend it") << "F0 16 32 48 64 80 96 112 128 1096 1097"
                                                        << "RRRRRRR---R";
    QTest::newRow("each request its own window") << "F0 60 F80 150 179 180"
                                                 << "RRRRR-";
    QTest::newRow("request after a window") << "F0 100 F200 250 300"
                                            << "R-RR-";
}

// The window runs on the plot's clock and ends by itself, with no event loop to run it out.
void TestPlots::forcedRescaleWindow() {
    QFETCH(QString, updates);
    QFETCH(QString, rescales);
    qint64 now = 0;
    QHistogramPlot plot;
    plot.setClock([&now] { return now; });
    plot.setAutoScaleY(true);
    plot.setSummedVisible(true);
    plot.setSummedChannelVisible(0, true);
    Histogram bins(5 * 256, 0);
    QString seen;
    for (QString update : updates.split(' ')) {
        if (update.startsWith('F'))
            plot.setForceRescale(true), update.remove(0, 1);
        now = update.toLongLong();
        // A count whose range differs from the present one: a rescale shows as a new range.
        const int before = plot.yAxisMax();
        bins[40] = before == 40 ? 100 : 30;
        plot.setSummedData(bins.data());
        seen += plot.yAxisMax() != before ? 'R' : '-';
    }
    QCOMPARE(seen, rescales);
}

void TestPlots::snapshotEmptiesHiddenTypes() {
    QHistogramPlot plot;
    for (int i = 0; i < plot.plottableCount(); ++i)
        QVERIFY2(!plot.plottable(i)->visible(), "shown before the first data");
    Histogram bins(5 * 256, 5);
    for (int type : {QHistogramPlot::Proximity, QHistogramPlot::Processed}) {
        plot.setTypeVisible(type, true);
        plot.setChannelVisible(type, 1, true);
        plot.setChannelVisible(type, 2, true);
        plot.setHistogramData(type, bins.data());
    }
    plot.takeSnapshot();
    plot.setProcessedVisible(false);
    plot.applySnapshotButton(true);
    const auto previous = QHistogramPlot::PreviousSet;
    QCOMPARE(values(plot.histogramGraph(previous, 0, 1)), QVector<double>(256, 5.0));
    QCOMPARE(values(plot.histogramGraph(previous, 2, 1)), QVector<double>(256, 0.0));
    for (const QCPBarsData& bar : *plot.peaksBars(previous)->data())
        QCOMPARE(bar.value, 0.0);
    QVERIFY(plot.histogramGraph(previous, 0, 1)->visible());
    QVERIFY(!plot.histogramGraph(previous, 0, 3)->visible());
    QVERIFY(!plot.histogramGraph(previous, 2, 1)->visible());
    plot.applySnapshotButton(false);
    QVERIFY(!plot.histogramGraph(previous, 0, 1)->visible());
}

void TestPlots::legendFollowsVisibilityAndChipFlag() {
    QHistogramPlot plot;
    QVERIFY(!plot.legend->visible());
    plot.applyLegendBox(Qt::Checked);
    QVERIFY(plot.legend->visible());
    plot.setDistanceVisible(true);
    plot.setProximityVisible(true);
    for (int channel : {3, 1})
        plot.setProximityChannelVisible(channel, true);
    plot.setDistanceChannelVisible(0, true);
    Histogram bins(5 * 256, 10);
    bins[127] = 3;
    plot.setProximityData(bins.data());
    QCOMPARE(legendTexts(plot), QStringList({"Proximity Hits: 10240", "Proximity Zone-1",
                                             "Proximity Zone-3", "Raw Reference"}));
    plot.setChipFamilyFlag(true);
    plot.setProximityVisible(false);
    QCOMPARE(legendTexts(plot), QStringList({"Short Range Hits: -", "Long Range Reference"}));
    // Long-range histograms carry exponents unless the sensor corrects pile-up.
    plot.setDistanceData(bins.data());
    const QVector<double> decoded = values(plot.histogramGraph(QHistogramPlot::CurrentSet, 1, 0));
    QCOMPARE(decoded[5], 80.0);
    QCOMPARE(decoded[127], 3.0);
    QCOMPARE(decoded[200], 10.0 * 1024);
    bins[126] = 0xFFFF, bins[127] = 31; // decodes to 2^31, past the int range
    plot.setAutoScaleY(true), plot.setForceRescale(true), plot.setDistanceData(bins.data());
    QCOMPARE(plot.yAxisMax(), std::numeric_limits<int>::max());
    plot.setPileUpCorrection(true);
    plot.setDistanceData(bins.data());
    QCOMPARE(values(plot.histogramGraph(QHistogramPlot::CurrentSet, 1, 0))[5], 10.0);
}

void TestPlots::distanceWindowKeepsTimeAndSkipsFailedExchanges() {
    SensorRig rig(1200);
    QTemporaryDir folder;
    Logging log(folder.filePath("log.csv"));
    QVERIFY(log.open());
    QDistancePlot plot;
    QCOMPARE(plot.graph(0)->pen().widthF(), 2.0);
    QCOMPARE(plot.graph(0)->pen().color(), QColor(Qt::gray));
    QCOMPARE(plot.graph(0)->lineStyle(), QCPGraph::lsStepLeft);
    plot.setClock([&rig] { return rig.now; });
    plot.setComStream(&rig.stream);
    plot.setLogging(&log);
    // The photon counts of each objects reply, reference then object, as the log pads them.
    QStringList replied;
    rig.firmware.setHandler(ZyrSim::SimulatedSensor::GetObjects, [&rig, &replied](auto& request) {
        auto reply = rig.sensor.handle(request);
        const auto count = [&reply](int at) {
            return QString::number(qFromLittleEndian<quint32>(reply->payload.constData() + at))
                .rightJustified(9, '0');
        };
        replied << count(9) + ';' + count(13);
        return reply;
    });
    for (int step = 0; step < 3; ++step) {
        rig.now += step == 0 ? 1000 : 20;
        plot.measureDistance();
    }
    QVector<double> times = plot.timeValues();
    QCOMPARE(times.size(), QDistancePlot::windowSize);
    QCOMPARE(times.mid(0, 5), QVector<double>({0, -20, -40, -1040, -1056}));
    QCOMPARE(times.last(), -1040.0 - 16 * 196);
    // The target stands at 1200 mm, reported within the sensor's 3 mm of noise.
    QVERIFY2(qAbs(plot.latestDistance() - 1200) <= 3,
             qPrintable(QString::number(plot.latestDistance())));
    QCOMPARE(plot.latestConfidence(), kConfidenceAt1200);
    const QVector<double> distances = plot.distanceValues();
    const uint32_t photons = plot.referencePhotonCount();
    QVERIFY(photons > 0);

    rig.driver.failWrite(rig.driver.writeCount());
    rig.now += 20;
    plot.measureDistance();
    QCOMPARE(plot.timeValues(), times);
    QCOMPARE(plot.distanceValues(), distances);
    QCOMPARE(plot.referencePhotonCount(), photons);

    // The next point is timed from the last one shown, and the stream works again.
    rig.now += 20;
    plot.measureDistance();
    QCOMPARE(plot.timeValues().mid(0, 3), QVector<double>({0, -40, -60}));
    plot.setComStream(nullptr);
    plot.measureDistance();
    QCOMPARE(plot.latestDistance(), 0);
    QCOMPARE(plot.referencePhotonCount(), 0u);
    // One record per measurement the sensor answered: none for the failure, none unconnected.
    log.close();
    QFile logFile(folder.filePath("log.csv"));
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    const QRegularExpression record(QStringLiteral("^#OBJ;\\d+;00001;(\\d+);(\\d+);(\\d+;\\d+)\r$"),
                                    QRegularExpression::MultilineOption);
    QStringList logged;
    for (auto match = record.globalMatch(QString::fromLatin1(logFile.readAll()));
         match.hasNext();) {
        const QRegularExpressionMatch fields = match.next();
        QCOMPARE(fields.captured(1).toInt(), kConfidenceAt1200);
        QVERIFY2(qAbs(fields.captured(2).toInt() - 1200) <= 3, qPrintable(fields.captured(2)));
        logged << fields.captured(3);
    }
    QCOMPARE(logged.size(), 4);
    QCOMPARE(logged, replied);
}

void TestPlots::distanceBarShowsNewestMeasurement_data() {
    QTest::addColumn<int>("distance");
    QTest::addColumn<int>("confidence");
    QTest::addColumn<double>("key");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("rows"); // the peak's and the confidence's
    QTest::newRow("object") << 812 << 40 << 812.0 << 40.0 << "Peak at: 812 mm|Confidence: 40 of 63";
    QTest::newRow("no object") << 0 << 0 << 0.0 << 0.0 << "Peak at: -|Confidence: -";
    QTest::newRow("out of range") << 70000 << 100 << 4464.0 << 36.0
                                  << "Peak at: 4464 mm|Confidence: 36 of 63";
}

void TestPlots::distanceBarShowsNewestMeasurement() {
    QFETCH(int, distance);
    QFETCH(int, confidence);
    QCustomPlot plot;
    DistanceBar bar(&plot);
    bar.setup(true);
    QCOMPARE(bar.rowTexts(), QStringList({"Peak at: ", "Confidence: ", "Photon Count Reference: ",
                                          "Photon Count Object: ", "Temperature: "}));
    QCOMPARE(plot.xAxis->range().upper, 2500.0);
    bar.setTemperatureVisible(false);
    QCOMPARE(plot.legend->itemCount(), 4);
    bar.setTemperatureVisible(true);
    QCOMPARE(qobject_cast<QCPStringLegendItem*>(plot.legend->item(4))->text(), "Temperature: ");
    bar.showMeasurement(1, 1, 1, 1);
    bar.showMeasurement(distance, confidence, 3000000000u, 17);
    QCOMPARE(bar.bars()->dataCount(), 1);
    QTEST(bar.bars()->data()->begin()->key, "key");
    QTEST(bar.bars()->data()->begin()->value, "height");
    QTEST(bar.rowTexts().mid(0, 2).join('|'), "rows");
    QCOMPARE(bar.rowTexts().mid(2, 2),
             QStringList({"Photon Count Reference: 3000000000", "Photon Count Object: 17"}));
}

void TestPlots::tickLabelsStayApartAsThePlotShrinks_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("histogram plot") << "histogram";
    QTest::newRow("distance plot") << "distance";
    QTest::newRow("distance bar") << "bar";
}

// Shrunk by the user, with nothing else to draw it again, each plot's tick labels still keep
// apart: ticks made for the old size are made again for the new one; also when the plot is
// smaller than its axes' margins, which leave the axes no length, and when it grows back.
void TestPlots::tickLabelsStayApartAsThePlotShrinks() {
    QFETCH(QString, kind);
    std::unique_ptr<QCustomPlot> plot;
    std::unique_ptr<DistanceBar> bar;
    if (kind == "histogram") {
        plot = std::make_unique<QHistogramPlot>();
    } else if (kind == "distance") {
        auto distance = std::make_unique<QDistancePlot>();
        distance->applyAutoScaleYBox(Qt::Checked, 0);
        plot = std::move(distance);
    } else {
        plot = std::make_unique<QCustomPlot>();
        bar = std::make_unique<DistanceBar>(plot.get());
        bar->setup(true);
    }
    plot->resize(900, 600);
    plot->show();
    QVERIFY(QTest::qWaitForWindowExposed(plot.get()));
    const auto labels = [&plot] {
        QStringList all;
        for (const QCPAxis* axis : plot->axisRect()->axes())
            all << QStringList(axis->tickVectorLabels().toList()).join(' ');
        return all;
    };
    plot->replot(); // ticks for the laid-out size
    const QStringList fullSize = labels();
    for (const QSize& size : {QSize(900, 600), QSize(150, 120), QSize(40, 30)}) {
        plot->resize(size);
        QTRY_VERIFY2_WITH_TIMEOUT(crowdedTickLabels(*plot).isEmpty(),
                                  qPrintable(crowdedTickLabels(*plot).join("; ")), 10000);
    }
    plot->resize(900, 600);
    QTRY_COMPARE_WITH_TIMEOUT(labels(), fullSize, 10000);
}

void TestPlots::shortAxisKeepsOneOfTwoCollidingLabels_data() {
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("room"); // axis length in label widths (of the range's ends)
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("room for all") << 0.0 << 2500.0 << 20.0
                                  << QStringList{"0", "500", "1000", "1500", "2000", "2500"};
    QTest::newRow("ends collide") << 0.0 << 2500.0 << 1.0 << QStringList{"0"};
    QTest::newRow("ends collide, negative") << -2500.0 << 0.0 << 1.0 << QStringList{"0"};
}

// An axis too short for the labels at both ends of its range shows one of them, not both run
// together.
void TestPlots::shortAxisKeepsOneOfTwoCollidingLabels() {
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, room);
    QCustomPlot plot;
    SpacedLabelTicker::installOn(&plot);
    const QFontMetrics metrics(plot.xAxis->tickLabelFont());
    const auto width = [&metrics](double value) {
        return metrics.boundingRect(QRect(), Qt::TextDontClip, QString::number(value)).width();
    };
    const int length = int(room * (width(lower) + width(upper)) / 2);
    const int margin = 200; // the labels at the ends stay inside the plot
    plot.axisRect()->setAutoMargins(QCP::msNone);
    plot.axisRect()->setMargins(QMargins(margin, 10, margin, 100));
    plot.resize(length + 2 * margin, 200);
    plot.xAxis->setRange(lower, upper);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.replot();
    QCOMPARE(plot.axisRect()->width(), length);
    QStringList labels;
    for (int i = 0; i < plot.xAxis->tickVector().size(); ++i) {
        if (plot.xAxis->range().contains(plot.xAxis->tickVector()[i]))
            labels << plot.xAxis->tickVectorLabels()[i];
    }
    QTEST(labels, "labels");
}

ZYR_TEST_CLASS(TestPlots)
#include "tst_plots.moc"
