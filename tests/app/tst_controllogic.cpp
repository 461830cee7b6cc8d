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

using ZyrCore::Communication::NodeStateContext;
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

NodeStateManager* managerOf(ControlLogic& logic, const QString& name) {
    NodeStateManager* manager = nullptr;
    logic.communicationStack()->tryGetStateManager(name, &manager);
    return manager;
}

void pointDelegatesAt(ControlLogic& logic, DelegateTarget& target) {
    logic.communicationInitialized.set(&target, SLOT(onInitialized()));
    logic.communicationDeinitialized.set(&target, SLOT(onDeinitialized()));
}

} // namespace

class TestControlLogic : public QObject {
    Q_OBJECT

private slots:
    void createsTheIntents();
    void moduleActivationFollowsTheModuleStream();
    void registersTheStreamCommandSets();
    void registerNodeCallsTheDelegates_data();
    void registerNodeCallsTheDelegates();
    void boardBringsTheModuleUp();
};

// The menus check the texts of the intents they show; the register map has no menu entry.
void TestControlLogic::createsTheIntents() {
    const char* const names[] = {
        "intExit",          "intOpenRegMap",   "intSaveConfiguration", "intLoadConfiguration",
        "intRedockWindows", "intUpdateGraphs", "intOpenAboutDialog"};
    {
        ControlLogic logic;
        for (const char* name : names)
            QVERIFY2(IntentManager::instance()->getIntent(name) != nullptr, name);
        ZyrGui::Intents::IIntent* registerMap =
            IntentManager::instance()->getIntent("intOpenRegMap");
        QCOMPARE(registerMap->text(), QStringLiteral("Register Map"));
        QVERIFY(!registerMap->icon().isNull());
    }
    // An uninitialised logic takes its intents with it.
    for (const char* name : names)
        QVERIFY(IntentManager::instance()->getIntent(name) == nullptr);
}

void TestControlLogic::moduleActivationFollowsTheModuleStream() {
    ControlLogic logic;
    logic.initialize();
    NodeStateManager* module = managerOf(logic, QStringLiteral("MODULE_STREAM"));
    QVERIFY(module != nullptr);
    QSignalSpy activations(&logic, &ControlLogic::tofModuleActivated);

    const NodeStateContext context = *module->context();
    const int states[] = {0, 4, 2, 4, 2};
    int previous = 0;
    for (int state : states) {
        emit module->stateChanged(context, previous, state);
        previous = state;
    }
    QCOMPARE(activations.count(), 2);
}

void TestControlLogic::registersTheStreamCommandSets() {
    auto* manager = ZyrCore::Communication::CommandManager::instance();
    manager->unregisterCommands();
    ControlLogic logic;
    logic.initialize();
    for (const char* name :
         {"I2cReadRegister", "I2cWriteRegister", "I2cModifyRegister", "I2cBlockRegister", "I2cTxRx",
          "I2cConfig", "Reset", "FirmwareNumber"}) {
        std::unique_ptr<ZyrCore::Communication::CommandInfo> info(
            manager->createCommand(QLatin1String(name)));
        QVERIFY2(info != nullptr && info->name == QLatin1String(name), name);
    }
    manager->unregisterCommands();
}

void TestControlLogic::registerNodeCallsTheDelegates_data() {
    QTest::addColumn<int>("previous");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("initialized");
    QTest::addColumn<int>("deinitialized");
    QTest::newRow("opened") << 0 << 2 << 1 << 0;
    QTest::newRow("open to closed") << 2 << 4 << 0 << 1;
    QTest::newRow("closing to closed") << 3 << 4 << 0 << 1;
    QTest::newRow("unknown to closed") << 0 << 4 << 0 << 0;
    QTest::newRow("closed to closed") << 4 << 4 << 0 << 0;
}

void TestControlLogic::registerNodeCallsTheDelegates() {
    QFETCH(int, previous);
    QFETCH(int, current);
    QFETCH(int, initialized);
    QFETCH(int, deinitialized);

    ControlLogic logic;
    logic.initialize();
    DelegateTarget target;
    pointDelegatesAt(logic, target);
    NodeStateManager* ic = managerOf(logic, QStringLiteral("IcComCore"));
    QVERIFY(ic != nullptr);

    emit ic->stateChanged(*ic->context(), previous, current);
    QCOMPARE(target.initialized, initialized);
    QCOMPARE(target.deinitialized, deinitialized);
}

void TestControlLogic::boardBringsTheModuleUp() {
    QString error;
    auto board = ZyrSim::SimulatedEvaluationBoard::create(QString(), &error);
    QVERIFY2(board, qPrintable(error));

    DelegateTarget target;
    {
        ControlLogic logic;
        logic.initialize();
        pointDelegatesAt(logic, target);
        QSignalSpy activations(&logic, &ControlLogic::tofModuleActivated);

        logic.activateCommunication();
        QCOMPARE(activations.count(), 1);
        QCOMPARE(target.initialized, 1);
        QCOMPARE(managerOf(logic, QStringLiteral("IcComCore"))->lastState(),
                 int(ZyrCore::Communication::NodeState::Open));

        logic.deactivateCommunication();
        QCOMPARE(target.deinitialized, 1);
        logic.activateCommunication();
        QCOMPARE(target.initialized, 2);
    }
    // The register node closed again while the logic was torn down, but whoever the delegates
    // point at may be gone by then.
    QCOMPARE(target.deinitialized, 1);
}

ZYR_TEST_CLASS(TestControlLogic)
#include "tst_controllogic.moc"
