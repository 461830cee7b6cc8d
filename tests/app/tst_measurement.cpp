#include "apptestsupport.h"
#include "boardrig.h"
#include "scriptedcomdriver.h"
#include "testregistry.h"

#include "calibration.h"
#include "commands/getcalibrationdatacommand.h"
#include "devicestatusbar.h"
#include "exchange.h"
#include "logging.h"
#include "mainwindow.h"
#include "plots/qcpstringlegenditem.h"
#include "plots/qdistanceplot.h"
#include "plots/qhistogramplot.h"
#include "simulatedevaluationboard.h"
#include "zyrstatusfield.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

// The main window on a simulated board, with every sensor command it sends written down:
// "H<type>.<channel>" histogram, "I<iterations>/<threshold>", else one letter.
struct Rig {
    explicit Rig(const QString& boardConfig = {})
        : board(ZyrSim::SimulatedEvaluationBoard::create(boardConfig))
        , module(board->board().firmware(ZyrSim::BoardInterface::Module)) {
        module.setObserver([this](const ZyrSim::FirmwareRequest& request) {
            const auto byte = [&request](int i) { return int(uchar(request.payload.at(i))); };
            const QString letter = QString("?HO??CDGS?TI").mid(request.protocol, 1);
            if (letter == "H")
                requests << QString("H%1.%2").arg(byte(0)).arg(byte(1));
            else if (letter == "I")
                requests << QString("I%1/%2").arg(byte(0) | byte(1) << 8).arg(byte(2));
            else if (!letter.isEmpty() && letter != "?") // not the channel checks
                requests << letter;
        });
        window = std::make_unique<MainWindow>(nullptr, kAnyFreePort);
        quietlyBuilt = dialogs.seen.isEmpty();
        auto* serial = widget<QLabel>("lbSerialNumber");
        activated =
            QTest::qWaitFor([serial] { return !serial->text().endsWith("00-00-00-00"); }, 10000);
    }
    template <typename Widget = QCheckBox>
    Widget* widget(const char* name) {
        return window->findChild<Widget*>(QLatin1String(name));
    }
    // Sets the measurement's boxes without their slots' side effects.
    void select(const QStringList& checked) {
        for (const char* name : {"cbSummed", "cbRaw", "cbProximity", "cbTDC1"}) {
            const QSignalBlocker blocker(widget(name));
            widget(name)->setChecked(checked.contains(QLatin1String(name)));
        }
    }
    bool startLog() {
        widget<QLineEdit>("leDataFile")->setText(logFolder.filePath("run.csv"));
        widget("cbSaveData")->setChecked(true);
        return widget("cbSaveData")->isChecked();
    }
    // The records after the log's start (the header, the version record and the calibration
    // read); #ITT whole, others by tag.
    QStringList records() const {
        QFile file(logFolder.filePath("run.csv"));
        file.open(QIODevice::ReadOnly); // no file: no records
        QStringList lines = QString::fromLatin1(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        lines = lines.mid(lines.lastIndexOf(QRegularExpression("^#CAL;02(;[0-9A-F]{2}){14}$")) + 1);
        for (QString& line : lines)
            line = line.startsWith("#ITT") ? line : line.section(';', 0, 0);
        return lines;
    }

    // In the order of construction; the window goes first, the request list last.
    ScopedSettingsFolder settingsFolder;
    QTemporaryDir logFolder;
    DialogRecorder dialogs;
    QStringList requests;
    bool quietlyBuilt = false; // no message came while the window was being built
    bool activated = false;    // the module's activation has shown its serial number
    std::unique_ptr<ZyrSim::SimulatedEvaluationBoard> board;
    ZyrSim::FirmwareTable& module;
    std::unique_ptr<MainWindow> window;
};

// Sets the application font of the platform's family at pointSize while it lives.
class ScopedApplicationFont {
public:
    explicit ScopedApplicationFont(int pointSize) {
        QApplication::setFont(QFont(itsPlatformFont.family(), pointSize));
    }
    ~ScopedApplicationFont() { QApplication::setFont(itsPlatformFont); }

private:
    const QFont itsPlatformFont = QApplication::font();
};

const QString kItt = "#ITT;00900;000;2.5m";

// "H0*" stands for H0.0 to H0.4, "#CI*" for #CI0 to #CI4, "ITT" for the iterations record.
QStringList expand(const QString& text) {
    QStringList result;
    for (const QString& token : text.split(' ', Qt::SkipEmptyParts)) {
        const bool all = token.endsWith('*');
        const QString stem = token.chopped(1) + (token.startsWith('H') ? "." : "");
        for (int channel = 0; channel < (all ? 5 : 1); ++channel)
            result << (all ? stem + QString::number(channel) : token == "ITT" ? kItt : token);
    }
    return result;
}

} // namespace

class TestMeasurement : public QObject {
    Q_OBJECT

private slots:
    void cycleRequestsAndLog_data();
    void cycleRequestsAndLog();
    void refusedReplyIsNeitherLoggedNorPlotted();
    void tickAfterAWarningStartsTheLog_data();
    void tickAfterAWarningStartsTheLog();
    void iterationPresetReachesTheDevice();
    void targetConfigurationCarriesBothFlags_data();
    void targetConfigurationCarriesBothFlags();
    void pileUpCorrectionSetsTheBinRange_data();
    void pileUpCorrectionSetsTheBinRange();
    void distanceBarRedrawsOncePerInterval();
    void continuousModeRepeatsCyclesWithStartDisabled();
    void activationPerChip_data();
    void activationPerChip();
    void calibrationNeedsTheLongTimeoutAndRestoresIt();
};

// Per row: board | boxes checked | requests | log records (none: no log) | histogram sets drawn
// (P proximity, D distance, S summed).
void TestMeasurement::cycleRequestsAndLog_data() {
    QTest::addColumn<QString>("row");
    QTest::newRow("summed, long-range family")
        << "| cbSummed cbTDC1 | H3.0 T O | #SUM #TMP ITT #OBJ | S";
    QTest::newRow("proximity, logged") << "| cbProximity cbTDC1 | H0* H4.0 H2* H1* T O | "
                                          "#CI* #CO0 #TG* #PT* #TMP ITT #OBJ | P";
    QTest::newRow("proximity, no log") << "| cbProximity cbTDC1 | H0* H4.0 H1* T O | | P";
    QTest::newRow("raw and proximity, short-range family")
        << "chip=KEL4301 | cbRaw cbProximity cbTDC1 | H0* H4.0 H1* H2* O | "
           "#CI* #CO0 #PT* #TG* #OBJ | PD";
    QTest::newRow("zone box off")
        << "| cbRaw cbProximity cbSummed | H3.0 T O | #SUM #TMP ITT #OBJ | PS";
}

void TestMeasurement::cycleRequestsAndLog() {
    QFETCH(QString, row);
    const QStringList field = row.split(QRegularExpression(" *\\| *"));
    Rig rig(field[0]);
    QVERIFY(rig.activated);
    rig.select(field[1].split(' '));
    QVERIFY(field[3].isEmpty() || rig.startLog());
    rig.requests.clear();
    rig.widget<QPushButton>("pbStart")->click();
    QCOMPARE(rig.requests, expand(field[2]));
    QCOMPARE(rig.records(), expand(field[3]));
    auto* plot = rig.widget<QHistogramPlot>("plotHistogram");
    QString drawn;
    for (int type = 0; type < 3; ++type) // proximity, distance, processed (summed on channel 0)
        if (plot->histogramGraph(QHistogramPlot::CurrentSet, type, type < 2 ? 1 : 0)->visible())
            drawn += QChar("PDS"[type]);
    QCOMPARE(drawn, field[4]);
}

// A reply the command refuses stops that histogram type: nothing of it is logged or plotted,
// the requests after it go out, and the next cycle is whole again.
void TestMeasurement::refusedReplyIsNeitherLoggedNorPlotted() {
    Rig rig;
    QVERIFY(rig.activated);
    int faults = 1;
    rig.module.setHandler(1, [&rig, &faults](const ZyrSim::FirmwareRequest& request) {
        auto reply = rig.board->sensor().handle(request);
        if (request.payload.startsWith(QByteArray("\x01\x00", 2)) && faults-- > 0)
            reply->payload.chop(1);
        return reply;
    });
    rig.select({"cbProximity", "cbTDC1"});
    QVERIFY(rig.startLog());
    QCPGraph* plotted =
        rig.widget<QHistogramPlot>("plotHistogram")
            ->histogramGraph(QHistogramPlot::CurrentSet, QHistogramPlot::Proximity, 1);
    auto peak = [plotted, found = false]() mutable { return plotted->getValueRange(found).upper; };
    auto* start = rig.widget<QPushButton>("pbStart");

    start->click(); // its proximity histogram refused
    QCOMPARE(rig.records(), expand("#CI* #CO0 #TG* #TMP ITT #OBJ"));
    QVERIFY2(peak() == 0.0, "the refused histogram was plotted");
    start->click(); // whole again
    QCOMPARE(rig.records().mid(14), expand("#CI* #CO0 #TG* #PT* #TMP ITT #OBJ"));
    QVERIFY2(peak() > 100.0, "the cycle after the refused one did not plot its histogram");
}

void TestMeasurement::tickAfterAWarningStartsTheLog_data() {
    QTest::addColumn<QStringList>("refused"); // file names ticked in turn before the good one
    QTest::newRow("empty name") << QStringList{""};
    QTest::newRow("file that cannot be opened") << QStringList{"missing/run.csv"};
    QTest::newRow("both in turn") << QStringList{"", "missing/run.csv"};
}

// The user ticks "Save Data to File" with the mouse: each refused name brings its warning and
// leaves the box unticked with no log behind; the next tick, with a good name, saves.
void TestMeasurement::tickAfterAWarningStartsTheLog() {
    QFETCH(QStringList, refused);
    Rig rig;
    QVERIFY(rig.activated);
    rig.select({"cbSummed", "cbTDC1"});
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    auto* saveData = rig.widget("cbSaveData");
    auto* dataFile = rig.widget<QLineEdit>("leDataFile");
    const auto tick = [saveData] {
        QTest::mouseClick(saveData, Qt::LeftButton, Qt::NoModifier, saveData->rect().center());
    };
    QStringList warnings;
    for (const QString& name : refused) {
        dataFile->setText(name.isEmpty() ? name : rig.logFolder.filePath(name));
        tick();
        warnings << (name.isEmpty()
                         ? "Warning: Output filename is empty."
                         : "Warning: Could not open file " + dataFile->text() + " for writing.");
        QCOMPARE(rig.dialogs.seen, warnings);
        QVERIFY2(!saveData->isChecked(), "the box stays ticked after the warning");
        QVERIFY2(rig.window->findChildren<Logging*>().isEmpty(), "a log is left behind");
    }
    dataFile->setText(rig.logFolder.filePath("run.csv"));
    tick();
    QVERIFY2(saveData->isChecked() && !dataFile->isEnabled(), "the tick did not start the log");
    QTest::mouseClick(rig.widget<QPushButton>("pbStart"), Qt::LeftButton);
    QCOMPARE(rig.records(), expand("#SUM #TMP ITT #OBJ"));
    QCOMPARE(rig.dialogs.seen, warnings);
}

// A preset of the selector bar goes to the device and to the iterations box.
void TestMeasurement::iterationPresetReachesTheDevice() {
    Rig rig;
    QVERIFY(rig.activated);
    rig.requests.clear();
    rig.widget<QComboBox>("cbIterationSelector")->setCurrentIndex(2);
    QCOMPARE(rig.requests, QStringList{"I4000/0"});
    QCOMPARE(rig.widget<QSpinBox>("sbIterations")->value(), 4000);
}

void TestMeasurement::targetConfigurationCarriesBothFlags_data() {
    QTest::addColumn<QStringList>("toggled"); // in turn, from all histogram boxes unchecked
    QTest::addColumn<QByteArray>("flags");    // histograms enabled, pile-up correction
    QTest::newRow("summed brings pile-up") << QStringList{"cbSummed"} << QByteArray("\1\1", 2);
    QTest::newRow("raw clears pile-up") << QStringList{"cbRaw"} << QByteArray("\1\0", 2);
    QTest::newRow("pile-up alone") << QStringList{"cbPileupCorrection"} << QByteArray("\0\1", 2);
    QTest::newRow("summed off again")
        << QStringList{"cbSummed", "cbSummed"} << QByteArray("\0\0", 2);
}

// Each box sends the sensor a target configuration with its two flags in their own bytes.
void TestMeasurement::targetConfigurationCarriesBothFlags() {
    QFETCH(QStringList, toggled);
    Rig rig;
    QVERIFY(rig.activated);
    rig.select({});
    for (const char* name : {"cbPileupCorrection", "cbCalibration"}) {
        const QSignalBlocker blocker(rig.widget(name));
        rig.widget(name)->setChecked(false);
    }
    QByteArrayList sent;
    rig.module.setHandler(7, [&rig, &sent](const ZyrSim::FirmwareRequest& request) {
        sent << request.payload.left(2);
        return rig.board->sensor().handle(request);
    });
    for (const QString& name : toggled)
        rig.widget(qPrintable(name))->toggle();
    QCOMPARE(sent.size(), toggled.size());
    QTEST(sent.last(), "flags");
}

void TestMeasurement::pileUpCorrectionSetsTheBinRange_data() {
    QTest::addColumn<QStringList>("checked"); // of the boxes that decide, before the ticks
    QTest::addColumn<QString>("ranges"); // x-axis maximum after ticking pile-up, then unticking
    const QStringList autoScale{"cbAutoScaleX"};
    QTest::newRow("no channel shown") << autoScale << "128 256";
    QTest::newRow("proximity zone shown")
        << autoScale + QStringList{"cbProximity", "cbTDCPX1"} << "100 100";
    QTest::newRow("calibration shown")
        << autoScale + QStringList{"cbCalibration", "cbTDC0"} << "100 100";
    QTest::newRow("automatic x off") << QStringList{} << "100 100";
}

// With nothing shown to scale by, automatic x scaling shows the bins the correction leaves.
void TestMeasurement::pileUpCorrectionSetsTheBinRange() {
    QFETCH(QStringList, checked);
    Rig rig;
    QVERIFY(rig.activated);
    for (const char* name : {"cbAutoScaleX", "cbProximity", "cbTDCPX1", "cbCalibration", "cbTDC0",
                             "cbPileupCorrection"}) {
        const QSignalBlocker blocker(rig.widget(name));
        rig.widget(name)->setChecked(checked.contains(QLatin1String(name)));
    }
    auto* plot = rig.widget<QHistogramPlot>("plotHistogram");
    plot->xAxis->setRange(0, 100);
    QStringList ranges;
    for (int tick = 0; tick < 2; ++tick) {
        rig.widget("cbPileupCorrection")->toggle();
        ranges << QString::number(plot->xAxisMax());
    }
    QTEST(ranges.join(' '), "ranges");
}

// A burst of cycles redraws the distance bar at most once per interval, however fast or slow the
// machine runs them; a cycle after the interval redraws it.
void TestMeasurement::distanceBarRedrawsOncePerInterval() {
    Rig rig;
    QVERIFY(rig.activated);
    auto* start = rig.widget<QPushButton>("pbStart");
    // The bar's photon counts differ from one measurement to the next.
    QCPLegend* legend = rig.widget<QCustomPlot>("plotDistanceBar")->legend;
    const auto counts = [legend] {
        return static_cast<QCPStringLegendItem*>(legend->item(2))->text() +
               static_cast<QCPStringLegendItem*>(legend->item(3))->text();
    };
    rig.select({});
    const qint64 intervalMs = 33;
    QTest::qWait(2 * intervalMs); // past the interval: the first cycle redraws
    QString shown = counts();
    int redraws = 0;
    QElapsedTimer clock;
    clock.start();
    for (int cycle = 0; cycle < 10; ++cycle) {
        start->click();
        if (counts() != shown) {
            ++redraws;
            shown = counts();
        }
    }
    const qint64 elapsedMs = clock.elapsed();
    QVERIFY2(redraws >= 1 && redraws <= elapsedMs / intervalMs + 1,
             qPrintable(QString("%1 redraws in %2 ms").arg(redraws).arg(elapsedMs)));
    QTest::qWait(2 * intervalMs);
    start->click();
    QVERIFY2(counts() != shown, qPrintable("a cycle after the interval left the bar at " + shown));
}

// Continuous mode runs cycle after cycle with the start button disabled; pictures of it on both
// tabs are kept in the build tree.
void TestMeasurement::continuousModeRepeatsCyclesWithStartDisabled() {
    Rig rig;
    QVERIFY(rig.activated);
    const ScopedApplicationFont desktopFont(10); // a desktop's usual text size
    rig.window->show();
    rig.widget("cbProximity")->setChecked(true);
    rig.widget("cbTDC1")->setChecked(true);
    rig.widget("cbContinuousMode")->setChecked(true);
    rig.requests.clear();
    QTRY_VERIFY_WITH_TIMEOUT(rig.requests.count("O") > 20, 10000);
    QVERIFY2(!rig.widget<QPushButton>("pbStart")->isEnabled(),
             "the start button is enabled in continuous mode");
    const QDir folder(QCoreApplication::applicationDirPath() + "/screenshots");
    QVERIFY(folder.mkpath(".") && rig.window->grab().save(folder.filePath("measurement.png")));
    rig.widget<QTabWidget>("tabWidget")->setCurrentIndex(1);
    const int cyclesBefore = rig.requests.count("O");
    QTRY_VERIFY_WITH_TIMEOUT(rig.requests.count("O") > cyclesBefore + 5, 10000); // drawn there
    QVERIFY(rig.window->grab().save(folder.filePath("measurement-distance.png")));
}

void TestMeasurement::activationPerChip_data() {
    QTest::addColumn<QString>("board");
    QTest::addColumn<bool>("longRange");
    QTest::addColumn<bool>("fourMeter");
    QTest::addColumn<QStringList>("messages"); // per activation
    QTest::newRow("KEL4301") << "chip=KEL4301" << false << false << QStringList();
    QTest::newRow("KEL4401") << "chip=KEL4401" << true << true << QStringList();
    QTest::newRow("KEL4405") << "chip=KEL4405" << true << false << QStringList();
    QTest::newRow("outdated") << "chip=KEL4301,app0=2.0.15.1" << false << false
                              << QStringList("Critical: KEL4X0X target runs with outdated and "
                                             "unsupported ROM firmware. Device may not function "
                                             "correctly.");
}

// Every activation reads the device, sends the settings and sets the form up for the chip
// family, its messages only once the window is built; a failed serial-number read keeps the last
// values and tells the user. Without the module the cycle and the settings send nothing and
// nothing fails, and the channel fields show the module gone and back.
void TestMeasurement::activationPerChip() {
    QFETCH(QString, board);
    QFETCH(bool, longRange);
    QFETCH(bool, fourMeter);
    QFETCH(QStringList, messages);
    Rig rig(board);
    QVERIFY(rig.quietlyBuilt && rig.activated);
    const auto shown = [&rig](const char* name) { return !rig.widget<QWidget>(name)->isHidden(); };
    const auto form = [&] {
        return QStringList{rig.widget<QLabel>("lbSerialNumber")->text(),
                           rig.widget<QLabel>("lbApp0Revision")->text(),
                           rig.widget("cbProximity")->text(), rig.widget("cbRaw")->text()};
    };
    const QStringList first = form();
    auto* statusBar = rig.window->findChild<DeviceStatusBar*>();
    QCOMPARE(first.mid(2), longRange ? QString("Short Range|Long Range").split('|')
                                     : QString("Proximity|Distance").split('|'));
    QVERIFY(shown("sbIterations") == longRange && shown("cbIterationSelector") == longRange);
    QCOMPARE(shown("cbOperationMode"), !longRange);
    QCOMPARE(shown("cb4mMode"), fourMeter);
    for (bool serialFails : {false, true}) {
        if (serialFails) // the serial number comes back four bytes short
            rig.module.setHandler(8, [](const ZyrSim::FirmwareRequest&) {
                return ZyrSim::FirmwareReply{0, QByteArray(10, '\1'), {}, 0};
            });
        rig.board->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(showsClosed(statusBar->moduleHidField()), 10000);
        rig.requests.clear();
        rig.widget<QPushButton>("pbStart")->click();
        rig.widget("cbTDC2")->setChecked(!rig.widget("cbTDC2")->isChecked());
        QVERIFY(rig.requests.isEmpty());
        rig.board->replug();
        QTRY_COMPARE_WITH_TIMEOUT(rig.requests, QString("S D G C I900/0 G").split(' '), 10000);
        QCOMPARE(form(), first);
        QTRY_VERIFY_WITH_TIMEOUT(showsOpen(statusBar->moduleHidField()) &&
                                     showsOpen(statusBar->controlHidField()),
                                 10000);
        QCOMPARE(shown("cb4mMode"), fourMeter);
    }
    QCOMPARE(rig.dialogs.seen,
             messages + messages + QStringList("Warning: Could not retrieve serial number."));
}

// The default board's new calibration outlasts the normal time-out; the long one is in force for
// that command only, and nothing goes out on a module channel that is not HID.
void TestMeasurement::calibrationNeedsTheLongTimeoutAndRestoresIt() {
    BoardRig rig;
    rig.driver.setWriteTimeout(1499);
    GetCalibrationDataCommand command(GetCalibrationDataCommand::NewCalibration);
    QVERIFY2(!executeExchange(&rig.stream, &command), "the normal time-out suffices");
    const auto restored = [&rig] {
        return rig.driver.readTimeout() == 1500 && rig.driver.writeTimeout() == 1499 &&
               QGuiApplication::overrideCursor() == nullptr;
    };
    QVERIFY(executeCalibration(&rig.stream, command) && restored());
    rig.board->unplug();
    QVERIFY(!executeCalibration(&rig.stream, command) && restored());

    ScriptedComDriver serial;
    ZyrCore::Communication::ComStream stream(
        &serial, ZyrCore::Communication::ComStream::theImmediateFlushPolicy);
    serial.queueReply(GetCalibrationDataCommand::commandId, 0, QByteArray(14, '\1'));
    QVERIFY(stream.open() && !executeCalibration(&stream, command) && serial.writes.isEmpty());
}

ZYR_TEST_CLASS(TestMeasurement)
#include "tst_measurement.moc"
