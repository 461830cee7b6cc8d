#include "linkingtestsupport.h"
#include "testregistry.h"

#include "controllogic.h"
#include "simulatedevaluationboard.h"

#include <memory>

using ZyrGui::Controls::ControlManager;

class TestControls : public QObject {
    Q_OBJECT

private slots:
    void initializesBelowTheParentAndLinksByName_data();
    void initializesBelowTheParentAndLinksByName();
    void registerNodeDrivesTheControlsOnTheBoard();
};

void TestControls::initializesBelowTheParentAndLinksByName_data() {
    QTest::addColumn<bool>("withParent");
    QTest::addColumn<QList<int>>("initialized");
    // Controls: panel, child (of panel), grandchild (of child), loose.
    QTest::newRow("no parent: every control") << false << QList<int>{1, 1, 1, 1};
    QTest::newRow("panel: its descendants only") << true << QList<int>{0, 1, 1, 0};
}

void TestControls::initializesBelowTheParentAndLinksByName() {
    QFETCH(bool, withParent);

    FakeRegisterCommunication com;
    RegisterSpinBox panel(QStringLiteral("shared"), 0x10, QString());
    RegisterSpinBox child(QStringLiteral("shared"), 0x11, QString(), &panel);
    RegisterSpinBox grandchild(QStringLiteral("follower"), 0x12, QStringLiteral("shared"), &child);
    RegisterSpinBox loose(QStringLiteral("orphan"), 0x13, QStringLiteral("nobody"));
    RegisterSpinBox noLinker(QStringLiteral("nobody"), 0x14, QStringLiteral("elsewhere"));

    ControlManager::initializeControls(&com, withParent ? &panel : nullptr);
    const QList<int> counts{panel.initializations, child.initializations,
                            grandchild.initializations, loose.initializations};
    QTEST(counts, "initialized");
    // The follower joins both controls named "shared"; a name without a linker links nothing.
    QVERIFY(panel.widgetLinker()->isLinked(&grandchild));
    QVERIFY(child.widgetLinker()->isLinked(&grandchild));

    ControlManager::deinitializeControls();
    QVERIFY(!panel.widgetLinker()->isLinked(&grandchild));
    QVERIFY(!child.widgetLinker()->isLinked(&grandchild));
    QCOMPARE(loose.deinitializations, 1);
    QCOMPARE(noLinker.deinitializations, 1);
}

void TestControls::registerNodeDrivesTheControlsOnTheBoard() {
    QString error;
    auto board = ZyrSim::SimulatedEvaluationBoard::create(QString(), &error);
    QVERIFY2(board, qPrintable(error));
    board->registerFile().setRegisterValue(0x20, 7);
    RegisterSpinBox master(QStringLiteral("master"), 0x20, QString());
    RegisterSpinBox mirror(QStringLiteral("mirror"), 0x21, QString());
    // Deleted while linked further down; owned here so a failing check frees it too.
    auto follower = std::make_unique<RegisterSpinBox>(QStringLiteral("follower"), 0x20,
                                                      QStringLiteral("master"));

    ControlLogic logic;
    logic.initialize();
    logic.activateCommunication();
    QCOMPARE(master.value(), 7);
    QCOMPARE(follower->value(), 7);

    // An edit in one widget is written, read back and shown in every linked widget.
    follower->setValue(12);
    QCOMPARE(int(board->registerFile().registerValue(0x20)), 12);
    QCOMPARE(master.value(), 12);
    QCOMPARE(board->registerFile().registerValue(0x21), 0);

    // Closing and opening the register node takes the controls down and brings them up again.
    logic.deactivateCommunication();
    QCOMPARE(master.deinitializations, 1);
    board->registerFile().setRegisterValue(0x20, 33);
    logic.activateCommunication();
    QCOMPARE(master.initializations, 2);
    QCOMPARE(follower->value(), 33);

    // A widget deleted while linked is forgotten by the linker it joined.
    follower.reset();
    master.setValue(5);
    QCOMPARE(int(board->registerFile().registerValue(0x20)), 5);
    logic.deinitializeControls();
    QCOMPARE(ControlManager::instance()->count(), 2);
}

ZYR_TEST_CLASS(TestControls)
#include "tst_controls.moc"
