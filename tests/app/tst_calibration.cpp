#include "boardrig.h"
#include "scriptedcomdriver.h"
#include "testregistry.h"

#include "calibration.h"
#include "commands/getcalibrationdatacommand.h"
#include "exchange.h"

#include <QGuiApplication>
#include <QtTest>

using ZyrCore::Communication::ComStream;

class TestCalibration : public QObject {
    Q_OBJECT

private slots:
    void needsTheLongTimeoutAndRestoresIt();
};

// The default board's new calibration outlasts the normal time-out; the long one is in force for
// that command only, and nothing goes out on a module channel that is not HID.
void TestCalibration::needsTheLongTimeoutAndRestoresIt() {
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
    ComStream stream(&serial, ComStream::theImmediateFlushPolicy);
    serial.queueReply(GetCalibrationDataCommand::commandId, 0, QByteArray(14, '\1'));
    QVERIFY(stream.open() && !executeCalibration(&stream, command) && serial.writes.isEmpty());
}

ZYR_TEST_CLASS(TestCalibration)
#include "tst_calibration.moc"
