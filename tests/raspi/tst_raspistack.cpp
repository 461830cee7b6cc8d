#include "assertionabort.h"
#include "messagecapture.h"
#include "raspirig.h"
#include "testregistry.h"

#include "Communication/commandinfo.h"
#include "Communication/commandmanager.h"
#include "Communication/icommunicationnode.h"
#include "Communication/iregistercommunication.h"
#include "Communication/nodestate.h"
#include "Communication/registerinfostd.h"
#include "Communication/registervalue.h"
#include "Tracing/tracer.h"
#include "hid/hidcomdriver.h"
#include "raspi/streamcontrolcommandset.h"
#include "raspi/streamregistercommandset.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

using ZyrCore::Communication::ICommunicationNode;
using ZyrCore::Communication::NodeState;
using ZyrCore::Communication::NodeStateContext;
using ZyrCore::Communication::NodeStateManager;
using ZyrSim::BoardInterface;
using ZyrSim::TransportFault;

namespace {

const QList<int> kAllOpen = {2, 2, 2, 2, 2, 2};
const QList<int> kAllClosed = {4, 4, 4, 4, 4, 4};

const QString kFirmwareNumberFrame = QStringLiteral("67 00 00 00 03");
const QString kI2cConfigurationFrame = QStringLiteral("E2 00 07 00 00 02 01 02 00 00 00 00");
const QString kIdentificationReadFrame = QStringLiteral("61 00 03 00 01 80 90 81");

// A node stacked on a HID driver that talks through the driver's formatter when it is closed,
// as a node that flushes on close would.
class FormatterProbe : public virtual ICommunicationNode {
public:
    explicit FormatterProbe(unsigned int* headerSizeSeen)
        : itsHeaderSizeSeen(headerSizeSeen) {}

    bool open() override { return false; }
    bool isOpen() override { return false; }
    bool close() override {
        if (itsDriver != nullptr && itsDriver->streamFormatter() != nullptr)
            *itsHeaderSizeSeen = itsDriver->streamFormatter()->getHeaderSize();
        return true;
    }
    bool setNextNode(ICommunicationNode* node) override {
        itsDriver = dynamic_cast<ZyrHid::HidComDriver*>(node);
        return itsDriver != nullptr;
    }

private:
    unsigned int* itsHeaderSizeSeen;
    ZyrHid::HidComDriver* itsDriver = nullptr;
};

} // namespace

class TestRasPiStack : public QObject {
    Q_OBJECT

private slots:
    void everyNodeFollowsTheBoard();
    void chipIdentificationNeedsASoundReply_data();
    void chipIdentificationNeedsASoundReply();
    void refusedOpenIsWrittenOncePerChange();
    void tracerWatchesAndReplaysTheModuleStream();
};

// The board present opens every node in one call; unplugged, all close; replugged, all open
// again; taken down, the stack closes its nodes before it deletes the drivers below them.
void TestRasPiStack::everyNodeFollowsTheBoard() {
    QStringList changes; // outlives the rig, whose end closes the nodes
    RasPiRig rig;
    for (const QString& name : raspiNodeNames()) {
        connect(
            rig.manager(name), &NodeStateManager::stateChanged, this,
            [&changes](NodeStateContext context, int previous, int current) {
                changes.append(
                    QStringLiteral("%1 %2>%3").arg(context.nodeName()).arg(previous).arg(current));
            });
    }

    rig.stack.setActive(true);

    QCOMPARE(rig.states(), kAllOpen);
    QCOMPARE(rig.activeManagers(), raspiNodeNames());
    // The stack's handlers run before this receiver, so each node is recorded after the nodes
    // its opening brought up.
    QCOMPARE(changes,
             QStringList({"IcComCore 0>2", "MODULE_STREAM 0>2", "MODULE_HID 0>2",
                          "SerialComDriver 0>2", "CONTROL_STREAM 0>2", "CONTROL_HID 0>2"}));
    // The module channel is checked, the I2C master set up and the chip identified before the
    // control channel is checked.
    QCOMPARE(
        rig.requests,
        QStringList({"module " + kFirmwareNumberFrame, "module " + kI2cConfigurationFrame,
                     "module " + kIdentificationReadFrame, "control " + kFirmwareNumberFrame}));
    QCOMPARE(rig.board.registerFile().configuration(), QByteArray("\x02\x01\x02\0\0\0\0", 7));

    // A supervision round on the open stack keeps everything open without new signals.
    changes.clear();
    for (const QString& name : raspiNodeNames())
        QCOMPARE(rig.manager(name)->checkState(), int(NodeState::Open));
    QVERIFY(changes.isEmpty());

    rig.board.unplug();
    QTRY_COMPARE_WITH_TIMEOUT(rig.states(), kAllClosed, 10000);
    QCOMPARE(rig.activeManagers(), QStringList({"CONTROL_HID"}));
    QVERIFY(rig.board.replug());
    QTRY_COMPARE_WITH_TIMEOUT(rig.states(), kAllOpen, 10000);
    QCOMPARE(rig.activeManagers(), raspiNodeNames());

    unsigned int headerSizeSeen = 0;
    QVERIFY(rig.stack.insertNode(QStringLiteral("PROBE"), new FormatterProbe(&headerSizeSeen),
                                 QStringLiteral("MODULE_HID")));
    rig.stack.deinitialize();
    QCOMPARE(headerSizeSeen, 3u);
}

void TestRasPiStack::chipIdentificationNeedsASoundReply_data() {
    using Fault = ZyrSim::SimulatedRegisterFile::Fault;
    QTest::addColumn<int>("fault"); // on the identification register; None: another chip
    QTest::newRow("error status") << int(Fault::ErrorStatus);
    QTest::newRow("short reply") << int(Fault::ShortReply);
    QTest::newRow("another chip") << int(Fault::None);
}

// Only the expected value in a reply without error makes the chip present; the check retries
// until the chip answers as it should.
void TestRasPiStack::chipIdentificationNeedsASoundReply() {
    using ZyrSim::SimulatedRegisterFile;
    QFETCH(int, fault);
    RasPiRig rig;
    SimulatedRegisterFile& registers = rig.board.registerFile();
    if (fault == int(SimulatedRegisterFile::Fault::None))
        registers.setRegisterValue(SimulatedRegisterFile::identificationRegister,
                                   SimulatedRegisterFile::identificationValue + 1);
    else
        registers.setFault(SimulatedRegisterFile::identificationRegister,
                           SimulatedRegisterFile::Fault(fault));

    rig.stack.setActive(true);
    QCOMPARE(rig.states(), QList<int>({2, 2, 2, 2, 4, 2}));
    QCOMPARE(rig.activeManagers(), raspiNodeNames());

    registers.clearFaults();
    registers.setRegisterValue(SimulatedRegisterFile::identificationRegister,
                               SimulatedRegisterFile::identificationValue);
    QTRY_COMPARE_WITH_TIMEOUT(rig.states(), kAllOpen, 10000);
}

void TestRasPiStack::refusedOpenIsWrittenOncePerChange() {
    MessageCapture hid("zyr.hid");
    ZyrSim::SimulatorConfig config;
    QVERIFY(ZyrSim::SimulatorConfig::parse(QStringLiteral("fault.control=denied"), &config));
    RasPiRig rig(config);
    ZyrSim::SimulatedBoard& board = rig.board.board();
    const ZyrSim::SimulatedHidInterface& control = board.hidInterface(BoardInterface::Control);

    // Refused as without the udev rule: one line that says what to install where, however
    // often the supervision retries.
    rig.stack.setActive(true);
    QTRY_VERIFY_WITH_TIMEOUT(control.claimAttempts() >= 5, 20000);
    QCOMPARE(rig.states(), kAllClosed);
    QCOMPARE(hid.messages.size(), 1);
    const QString refusal = hid.messages.first();
    QVERIFY2(refusal.contains(qt_error_string(EACCES)), qPrintable(refusal));
    QVERIFY2(refusal.contains(QStringLiteral("transport/HidDevice/99-zyr-evalboard.rules")),
             qPrintable(refusal));
    QVERIFY2(refusal.contains(QStringLiteral(" /etc/udev/rules.d/")), qPrintable(refusal));
    QVERIFY(!refusal.contains(QLatin1Char('\n')));

    // Access granted: the board comes up without a word.
    board.setFault(BoardInterface::Control, TransportFault::None);
    QTRY_COMPARE_WITH_TIMEOUT(rig.states(), kAllOpen, 20000);
    QCOMPARE(hid.messages.size(), 1);

    // Refused again after a success: that is news again, once.
    board.setFault(BoardInterface::Control, TransportFault::AccessDenied);
    rig.stack.setActive(false);
    const int attempts = control.claimAttempts();
    rig.stack.setActive(true);
    QTRY_VERIFY_WITH_TIMEOUT(control.claimAttempts() >= attempts + 4, 20000);
    QCOMPARE(hid.messages, QStringList({refusal, refusal}));

    // Another reason is written at once.
    board.unplug();
    QTRY_COMPARE_WITH_TIMEOUT(hid.messages.size(), 3, 20000);
    QCOMPARE(hid.messages.last(),
             QStringLiteral("no HID interface 16d0:4d58 with \"mi_03\" in its path is present"));
}

// The module stream's exchanges reach the tracer's recorder and, without the register
// read-backs, its viewer; its player replays the recording on that stream.
void TestRasPiStack::tracerWatchesAndReplaysTheModuleStream() {
    ZyrCom::Commands::StreamRegisterCommandSet registerCommands;
    ZyrCom::Commands::StreamControlCommandSet controlCommands;
    ZyrCore::Communication::CommandManager::instance()->registerCommandSet(&registerCommands);
    ZyrCore::Communication::CommandManager::instance()->registerCommandSet(&controlCommands);
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("module.xml"));
    auto moduleFrames = [](const QStringList& requests) {
        return requests.filter(QRegularExpression(QStringLiteral("^module ")));
    };

    ZyrCore::Tracing::Tracer tracer;
    // The flushes carry no command to replay or show.
    tracer.recorder()->setFilter(0x7FFFFFFF);
    tracer.viewer()->setFilter(0x7FFFFFFF);
    QVERIFY(tracer.recorder()->open(fileName));
    RasPiRig rig(ZyrSim::SimulatorConfig(), &tracer);
    rig.stack.setActive(true);
    QCOMPARE(rig.states(), kAllOpen);
    auto* registers = dynamic_cast<ZyrCore::Communication::IRegisterCommunication*>(
        rig.stack.findElement(ZyrRasPi::RasPiStreamCommunicationStack::icComCoreName())->node());
    ZyrCore::Communication::RegisterInfoStd info(0x21, 8, 8, 255);
    ZyrCore::Communication::RegisterValue value(0x5A, 0);
    QCOMPARE(registers->writeRegister(&info, &value), 0);
    QVERIFY(tracer.recorder()->close());
    const QStringList recorded = moduleFrames(rig.requests);

    // The channel check, the I2C set-up, the identification, the write and its read-back.
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString trace = QString::fromUtf8(file.readAll());
    QCOMPARE(trace.count(QStringLiteral("TelegramType=\"Request\"")), recorded.count());
    QCOMPARE(trace.count(QStringLiteral("Trace=\"08010000\"")), 2);
    QStringList viewed;
    for (ZyrCore::Communication::CommandInfo* command : *tracer.viewer()->getTracedProperties())
        viewed << command->name + QLatin1Char(' ') +
                      command->getPropertyValue(QStringLiteral("Trace"));
    QCOMPARE(viewed, QStringList({"FirmwareNumber 40000000", "I2cConfig 08000000",
                                  "I2cReadRegister 00100000", "I2cWriteRegister 08000000"}));

    rig.board.registerFile().setRegisterValue(0x21, 0);
    rig.requests.clear();
    QVERIFY(tracer.player()->open(fileName));
    QVERIFY(tracer.player()->playToEnd());
    QCOMPARE(moduleFrames(rig.requests), recorded);
    QCOMPARE(int(rig.board.registerFile().registerValue(0x21)), 0x5A);
    tracer.player()->close();

    // Nothing replays on the stream that went with the stack.
    rig.stack.deinitialize();
    ZYR_VERIFY_ASSERTION([&] { tracer.player()->playSingleTelegram(trace); }, "Tracing/traceplayer",
                         "itsComExecutor != NULL", "itsComExecutor is Null!");
}

ZYR_TEST_CLASS(TestRasPiStack)

#include "tst_raspistack.moc"
