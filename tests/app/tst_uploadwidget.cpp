#include "apptestsupport.h"
#include "testregistry.h"

#include "controllogic.h"
#include "simulatedevaluationboard.h"
#include "zyruploadfiledemowidget.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

namespace {

const QString kModule = QStringLiteral("modules/qarnguimodule.so");
const QString kDone = QStringLiteral(
    "All files were updated successfully. Please disconnect and reconnect the EVM module.");
// The chip's files and where the board keeps them, in upload order.
const QStringList kLocalFiles = {
    "qarnguimodule.so",      "libqarn.so",   "kel4301.ko", "main_app.hex",
    "default_driver.config", "spad_mask.csv"};
const QStringList kStores = {"store /opt/VorniHostRuntime/modules/qarnguimodule.so",
                             "store /usr/lib/libqarn.so",
                             "store /opt/VorniHostRuntime/modules/kel4301.ko",
                             "store /lib/firmware/kel4301_firmware.bin",
                             "store /opt/VorniHostRuntime/config/default_driver.config",
                             "store /home/pi/spad_mask.csv"};

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestUploadWidget : public QObject {
    Q_OBJECT

private slots:
    void updateRun_data();
    void updateRun();
};

void TestUploadWidget::updateRun_data() {
    QTest::addColumn<QString>("config");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("logTail");    // its last lines, '|' between them
    QTest::addColumn<int>("refusedPackage"); // counted from 1 over the whole run; 0 none
    QTest::addColumn<int>("packages");       // upload packages that reach the board
    const QStringList all = QStringList{"unload " + kModule} + kStores;
    const QString failed = "Failed. Cannot upload file. File could not be uploaded correctly.";
    QTest::newRow("first chip in name order")
        << QString() << kLocalFiles + QStringList{"KEL4401.ko"} << false
        << all + QStringList{"load " + kModule} << "Loading " + kModule + ".|Success.|" + kDone << 0
        << 38;
    QTest::newRow("crc error on the third file") << "fault.crcFile=3" << kLocalFiles << false
                                                 << QStringList(all.mid(0, 3)) << failed << 0 << 7;
    // Packages 4 to 7 carry the third file: the board refuses its second one.
    QTest::newRow("package refused within a file")
        << QString() << kLocalFiles << false << QStringList(all.mid(0, 3)) << failed << 5 << 5;
    QTest::newRow("module load refused")
        << "fault.refuseLoad=on" << kLocalFiles << false << all
        << "Module " + kModule + " could not be configured.|Failed. Continuing anyway.|" + kDone
        << 0 << 38;
    QTest::newRow("missing file") << QString() << QStringList(kLocalFiles.mid(0, 5)) << false
                                  << QStringList()
                                  << "Checking file <dir>/spad_mask.csv|Failed. Cannot read file."
                                  << 0 << 0;
    QTest::newRow("unsupported chip")
        << QString() << QStringList{"kel430a.ko"} << false << QStringList()
        << "Identified target hardware for update: KEL430A|Unsupported target hardware. Exiting."
        << 0 << 0;
    QTest::newRow("dialog cancelled") << QString() << kLocalFiles << true << QStringList()
                                      << "No directory selected. Update stopped." << 0 << 0;
}

void TestUploadWidget::updateRun() {
    QFETCH(QString, config);
    QFETCH(QStringList, files);
    QFETCH(bool, cancel);
    QFETCH(QStringList, events);
    QFETCH(QString, logTail);
    QFETCH(int, refusedPackage);
    QTemporaryDir folder;
    for (int index = 0; index < files.size(); ++index) {
        QFile file(folder.filePath(files[index]));
        const QByteArray content = files[index].toUtf8().repeated(40 + 150 * index);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    int packages = 0; // outlives the board whose firmware counts into it
    const auto board = ZyrSim::SimulatedEvaluationBoard::create(config);
    QVERIFY(board);
    // The board refuses one package as when its storage fills up; later ones reach the store.
    board->board()
        .firmware(ZyrSim::BoardInterface::Control)
        .setHandler(
            ZyrSim::SimulatedFileStore::uploadProtocol,
            [&](const ZyrSim::FirmwareRequest& request) -> std::optional<ZyrSim::FirmwareReply> {
                if (++packages == refusedPackage)
                    return ZyrSim::FirmwareReply{
                        ZyrSim::SimulatedFileStore::storageStatus, {}, std::nullopt, 0};
                return board->fileStore().upload(request);
            });
    ControlLogic logic;
    logic.initialize();
    logic.activateCommunication();
    ZyrUploadFileDemoWidget widget;
    widget.setControlLogic(&logic);
    DialogRecorder dialogs;
    dialogs.pathAnswer = cancel ? QString() : folder.path();

    auto* button = widget.findChild<QPushButton*>(QStringLiteral("pbUpdateAllBinaries"));
    // A second click while the log lets events through must not start a nested run.
    QTimer::singleShot(0, button, [button] { button->click(); });
    button->click();
    QCOMPARE(dialogs.captions.size(), 1);
    QVERIFY(button->isEnabled());

    const QStringList log =
        widget.findChild<QTextEdit*>(QStringLiteral("teLog"))->toPlainText().split('\n');
    const QStringList expectedTail = QString(logTail).replace("<dir>", folder.path()).split('|');
    QCOMPARE(log.mid(log.size() - expectedTail.size()), expectedTail);
    QCOMPARE(log.size() == 1, cancel);
    QCOMPARE(dialogs.seen,
             logTail.endsWith(kDone) ? QStringList("Update: " + kDone) : QStringList());

    ZyrSim::SimulatedFileStore& store = board->fileStore();
    QCOMPARE(store.events(), events);
    QTEST(packages, "packages");
    for (const QString& event : events) {
        if (kStores.contains(event))
            QCOMPARE(contentOf(store.localPath(event.mid(6))),
                     contentOf(folder.filePath(kLocalFiles[kStores.indexOf(event)])));
    }
}

ZYR_TEST_CLASS(TestUploadWidget)
#include "tst_uploadwidget.moc"
