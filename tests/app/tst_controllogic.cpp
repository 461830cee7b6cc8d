#include "apptestsupport.h"
#include "testregistry.h"

#include "Communication/commandinfo.h"
#include "Communication/commandmanager.h"
#include "Communication/nodestate.h"
#include "Communication/nodestatemanager.h"
#include "controllogic.h"
#include "intents/iintent.h"
#include "intents/intentmanager.h"
#include "simulatedevaluationboard.h"

#include <QSignalSpy>
#include <QtTest>

using ZyrCore::Communication::NodeState;
using ZyrCore::Communication::NodeStateManager;
using ZyrGui::Intents::IntentManager;

namespace {

// Counts the calls that the control logic's delegates make.
class DelegateTarget : public QObject {
    Q_OBJECT
public:
    int initialized = 0;
    int deinitialized = 0;
public slots:
    void onInitialized() { ++initialized; }
    void onDeinitialized() { ++deinitialized; }
};

void pointDelegatesAt(ControlLogic& logic, DelegateTarget& target) {
    logic.communicationInitialized.set(&target, SLOT(onInitialized()));
    logic.communicationDeinitialized.set(&target, SLOT(onDeinitialized()));
}

} // namespace

class TestControlLogic : public QObject {
    Q_OBJECT

private slots:
    void logicOnTheBoard();
    void stateChangesReachTheDelegates_data();
    void stateChangesReachTheDelegates();
};

// The intents live as long as the logic (the menus check the texts of those they show; the
// register map has no menu entry); initialised, the logic registers the stream command sets and
// brings the module up on the board.
void TestControlLogic::logicOnTheBoard() {
    const char* const names[] = {
        "intExit",          "intOpenRegMap",   "intSaveConfiguration", "intLoadConfiguration",
        "intRedockWindows", "intUpdateGraphs", "intOpenAboutDialog"};
    QString error;
    auto board = ZyrSim::SimulatedEvaluationBoard::create(QString(), &error);
    QVERIFY2(board, qPrintable(error));
    auto* commands = ZyrCore::Communication::CommandManager::instance();
    commands->unregisterCommands();
    DelegateTarget target;
    {
        ControlLogic logic;
        for (const char* name : names)
            QVERIFY2(IntentManager::instance()->getIntent(name) != nullptr, name);
        ZyrGui::Intents::IIntent* registerMap =
            IntentManager::instance()->getIntent("intOpenRegMap");
        QCOMPARE(registerMap->text(), QStringLiteral("Register Map"));
        QVERIFY(!registerMap->icon().isNull());
        logic.initialize();
        for (const char* name :
             {"I2cReadRegister", "I2cWriteRegister", "I2cModifyRegister", "I2cBlockRegister",
              "I2cTxRx", "I2cConfig", "Reset", "FirmwareNumber"}) {
            std::unique_ptr<ZyrCore::Communication::CommandInfo> info(
                commands->createCommand(QLatin1String(name)));
            QVERIFY2(info != nullptr && info->name == QLatin1String(name), name);
        }

        pointDelegatesAt(logic, target);
        QSignalSpy activations(&logic, &ControlLogic::tofModuleActivated);
        logic.activateCommunication();
        QCOMPARE(activations.count(), 1);
        QCOMPARE(target.initialized, 1);
        NodeStateManager* registers = nullptr;
        QVERIFY(logic.communicationStack()->tryGetStateManager("IcComCore", &registers));
        QCOMPARE(registers->lastState(), int(ZyrCore::Communication::NodeState::Open));
        logic.deactivateCommunication();
        QCOMPARE(target.deinitialized, 1);
        logic.activateCommunication();
        QCOMPARE(target.initialized, 2);
    }
    // The register node closed again while the logic was torn down, but whoever the delegates
    // point at may be gone by then.
    QCOMPARE(target.deinitialized, 1);
    commands->unregisterCommands();
    for (const char* name : names)
        QVERIFY(IntentManager::instance()->getIntent(name) == nullptr);
}

// The register node's changes reach the delegates, the module stream's the activation signal.
void TestControlLogic::stateChangesReachTheDelegates_data() {
    QTest::addColumn<QString>("node");
    QTest::addColumn<QVector<int>>("states"); // from the first, changes to each next one
    QTest::addColumn<int>("initialized");
    QTest::addColumn<int>("deinitialized");
    QTest::addColumn<int>("activations");
    const QString ic = QStringLiteral("IcComCore");
    QTest::newRow("opened") << ic << QVector<int>{NodeState::Unknown, NodeState::Open} << 1 << 0
                            << 0;
    QTest::newRow("open to closed")
        << ic << QVector<int>{NodeState::Open, NodeState::Closed} << 0 << 1 << 0;
    QTest::newRow("closing to closed")
        << ic << QVector<int>{NodeState::Closing, NodeState::Closed} << 0 << 1 << 0;
    QTest::newRow("unknown to closed")
        << ic << QVector<int>{NodeState::Unknown, NodeState::Closed} << 0 << 0 << 0;
    QTest::newRow("closed to closed")
        << ic << QVector<int>{NodeState::Closed, NodeState::Closed} << 0 << 0 << 0;
    QTest::newRow("module opened twice")
        << "MODULE_STREAM"
        << QVector<int>{NodeState::Unknown, NodeState::Closed, NodeState::Open, NodeState::Closed,
                        NodeState::Open}
        << 0 << 0 << 2;
}

void TestControlLogic::stateChangesReachTheDelegates() {
    QFETCH(QString, node);
    QFETCH(QVector<int>, states);
    ControlLogic logic;
    logic.initialize();
    DelegateTarget target;
    pointDelegatesAt(logic, target);
    QSignalSpy activations(&logic, &ControlLogic::tofModuleActivated);
    NodeStateManager* manager = nullptr;
    QVERIFY(logic.communicationStack()->tryGetStateManager(node, &manager));
    for (int i = 1; i < states.size(); ++i)
        emit manager->stateChanged(*manager->context(), states[i - 1], states[i]);
    QTEST(target.initialized, "initialized");
    QTEST(target.deinitialized, "deinitialized");
    QTEST(int(activations.count()), "activations");
}

ZYR_TEST_CLASS(TestControlLogic)
#include "tst_controllogic.moc"
