#include "testregistry.h"

#include "fakecommunicationnode.h"

#include "Communication/nodestatemanager.h"

#include <QtTest>

using ZyrCore::Communication::NodeStateContext;
using ZyrCore::Communication::NodeStateManager;

namespace {

// Answers node checks with a scripted state and remembers what it was asked.
class CheckObject : public QObject {
    Q_OBJECT

public:
    void setAnswer(int state) { itsAnswer = state; }
    int calls() const { return itsCalls; }
    int shortNameCalls() const { return itsShortNameCalls; }

public slots:
    int onCheck(ZyrCore::Communication::NodeStateContext* context) {
        ++itsCalls;
        context->properties()->insert("checked", QString::number(itsCalls));
        return itsAnswer;
    }
    // The same check with the parameter's type written without its namespace: a name-based call
    // with the qualified type text does not find it.
    int onCheckShortName(NodeStateContext*) {
        ++itsShortNameCalls;
        return itsAnswer;
    }

private:
    int itsAnswer = 2;
    int itsCalls = 0;
    int itsShortNameCalls = 0;
};

// What makes an open node fail its next check.
enum class Failure {
    OpenFails,
    OpenWithoutEffect,
    CheckAnswers,
    CheckSlotMissing,
    CheckSlotWithShortTypeText,
};

} // namespace

Q_DECLARE_METATYPE(Failure)

class TestNodeState : public QObject {
    Q_OBJECT

private slots:

    void failedCheckClosesNode_data();
    void failedCheckClosesNode();
};

void TestNodeState::failedCheckClosesNode_data() {
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<int>("answer");

    QTest::newRow("open fails") << Failure::OpenFails << 2;
    QTest::newRow("open without effect") << Failure::OpenWithoutEffect << 2;
    QTest::newRow("check answers closed") << Failure::CheckAnswers << 4;
    QTest::newRow("check answers unknown") << Failure::CheckAnswers << 0;
    QTest::newRow("check answers opening") << Failure::CheckAnswers << 1;
    QTest::newRow("check answers out of bounds") << Failure::CheckAnswers << 7;
    QTest::newRow("check slot missing") << Failure::CheckSlotMissing << 2;
    QTest::newRow("check slot with short type text") << Failure::CheckSlotWithShortTypeText << 2;
}

void TestNodeState::failedCheckClosesNode() {
    QFETCH(Failure, failure);
    QFETCH(int, answer);

    FakeCommunicationNode node;
    CheckObject check;
    NodeStateManager manager(&node);
    QVERIFY(manager.checkDelegate.set(&check,
                                      SLOT(onCheck(ZyrCore::Communication::NodeStateContext*))));
    QCOMPARE(manager.setActive(true), 2);
    // The slot is handed the manager's own context, which names the node.
    QCOMPARE(manager.context()->properties()->value("checked"), QString("1"));
    QCOMPARE(manager.context()->communicationNode(), &node);
    // An open node is checked again on every run; what the slot writes stays in the context.
    QCOMPARE(manager.checkState(), 2);
    QCOMPARE(check.calls(), 2);
    QCOMPARE(manager.context()->properties()->value("checked"), QString("2"));
    QCOMPARE(node.openCalls(), 1);
    QSignalSpy spy(&manager, &NodeStateManager::stateChanged);
    const int closeCallsBefore = node.closeCalls();

    check.setAnswer(answer);
    switch (failure) {
    case Failure::OpenFails:
        node.drop();
        node.setOpenResult(false);
        break;
    case Failure::OpenWithoutEffect:
        node.drop();
        node.setOpenTakesEffect(false);
        break;
    case Failure::CheckAnswers:
        break;
    case Failure::CheckSlotMissing:
        QVERIFY(manager.checkDelegate.set(
            &check, SLOT(onNoSuchCheck(ZyrCore::Communication::NodeStateContext*))));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method"));
        break;
    case Failure::CheckSlotWithShortTypeText:
        QVERIFY(manager.checkDelegate.set(&check, SLOT(onCheckShortName(NodeStateContext*))));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method"));
        break;
    }

    QCOMPARE(manager.checkState(), 4);
    QVERIFY(!node.isOpen());
    QCOMPARE(node.closeCalls(), closeCallsBefore + 1);
    QCOMPARE(check.shortNameCalls(), 0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).toInt(), 2); // from open
    QCOMPARE(spy.at(0).at(2).toInt(), 4); // to closed
}

ZYR_TEST_CLASS(TestNodeState)

#include "tst_nodestate.moc"
