#include "apptestsupport.h"
#include "boardrig.h"
#include "scriptedcomdriver.h"
#include "testregistry.h"

#include "calibration.h"
#include "commands/getcalibrationdatacommand.h"
#include "commands/textconversion.h"
#include "exchange.h"
#include "mainwindow.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using ZyrCore::Communication::ComStream;

class TestCalibration : public QObject {
    Q_OBJECT

private slots:
    void succeedsOnlyThanksToTheLongTimeout_data();
    void succeedsOnlyThanksToTheLongTimeout();
    void sendsNothingWithoutAHidModuleChannel();
    void logCarriesEachCalibration();
};

void TestCalibration::succeedsOnlyThanksToTheLongTimeout_data() {
    QTest::addColumn<QString>("config");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("normalTimeout");
    QTest::addColumn<bool>("unplugged");
    // The default board and time-outs: a new calibration outlasts the normal 1500 ms.
    QTest::newRow("new, defaults") << QString() << 0 << 1500 << false;
    QTest::newRow("clear") << "calibrationMs=600" << 1 << 100 << false;
    QTest::newRow("read, normal time-out") << "calibrationMs=600" << 2 << 100 << false;
    QTest::newRow("board gone") << "calibrationMs=600" << 0 << 100 << true;
}

void TestCalibration::succeedsOnlyThanksToTheLongTimeout() {
    QFETCH(QString, config);
    QFETCH(int, mode);
    QFETCH(int, normalTimeout);
    QFETCH(bool, unplugged);
    BoardRig channel(config);
    QVERIFY(channel.board && channel.stream.isOpen());
    channel.driver.setReadTimeout(quint32(normalTimeout));
    channel.driver.setWriteTimeout(quint32(normalTimeout) + 1);
    if (mode != GetCalibrationDataCommand::ReadCalibration && !unplugged) {
        GetCalibrationDataCommand plain{uint8_t(mode)};
        QVERIFY2(!executeExchange(&channel.stream, &plain), "the normal time-out suffices");
    }
    if (unplugged)
        channel.board->unplug();

    GetCalibrationDataCommand command{uint8_t(mode)};
    QCOMPARE(executeCalibration(&channel.stream, command), !unplugged);
    QCOMPARE(channel.driver.readTimeout(), quint32(normalTimeout));
    QCOMPARE(channel.driver.writeTimeout(), quint32(normalTimeout) + 1);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    const QByteArray record = channel.board->sensor().calibrationRecord();
    if (!unplugged) {
        QCOMPARE(
            command.calibrationData(),
            bytesToHexText(reinterpret_cast<const uint8_t*>(record.constData()), 14).toUpper());
    }
}

// A serial module channel, a closed one or none: nothing goes out, even with a reply waiting.
void TestCalibration::sendsNothingWithoutAHidModuleChannel() {
    ScriptedComDriver serial;
    ComStream stream(&serial, ComStream::theImmediateFlushPolicy);
    serial.queueReply(GetCalibrationDataCommand::commandId, 0, QByteArray(14, '\1'));
    GetCalibrationDataCommand command(GetCalibrationDataCommand::NewCalibration);
    QVERIFY(!executeCalibration(&stream, command));
    QVERIFY(stream.open());
    QVERIFY(!executeCalibration(&stream, command));
    QVERIFY(!executeCalibration(nullptr, command));
    QVERIFY(serial.writes.isEmpty() && QGuiApplication::overrideCursor() == nullptr);
}

// The log starts with the calibration read; each button adds its record, a failed one none.
void TestCalibration::logCarriesEachCalibration() {
    ScopedSettingsFolder settings;
    QTemporaryDir folder;
    auto board = ZyrSim::SimulatedEvaluationBoard::create("seed=4,calibrationMs=30");
    DialogRecorder dialogs;
    MainWindow window(nullptr, 0);
    window.findChild<QLineEdit*>("leDataFile")->setText(folder.filePath("log.csv"));
    window.findChild<QCheckBox*>("cbSaveData")->setChecked(true);
    const auto hex = [&board] {
        const QByteArray record = board->sensor().calibrationRecord();
        return bytesToHexText(reinterpret_cast<const uint8_t*>(record.constData()), 14).toUpper();
    };
    QString expected = "#CAL;02" + hex();
    window.findChild<QPushButton*>("pbNewCalibration")->click();
    expected += "#CAL;00" + hex();
    window.findChild<QPushButton*>("pbClearCalibration")->click();
    expected += "#CAL;01" + hex();
    board->unplug();
    window.findChild<QPushButton*>("pbNewCalibration")->click();
    QFile log(folder.filePath("log.csv"));
    QVERIFY(log.open(QIODevice::ReadOnly) && hex() == QString(";00").repeated(14) + "\r\n");
    QVERIFY2(log.readAll().endsWith(expected.toLatin1()), qPrintable(expected));
}

ZYR_TEST_CLASS(TestCalibration)
#include "tst_calibration.moc"
