#include "testregistry.h"

#include "assertionabort.h"
#include "fakecommunicationnode.h"

#include "Communication/communicationstack.h"

#include <QtTest>

using ZyrCore::Communication::CommunicationStack;

class TestCommunicationStack : public QObject {
    Q_OBJECT

private slots:
    void clearElementsDeletesTopDown();
    void contractViolationsAbort();
};

void TestCommunicationStack::clearElementsDeletesTopDown() {
    QStringList log;
    CommunicationStack stack;
    stack.insertNode("R", new FakeCommunicationNode("R", &log), QString());
    stack.insertNode("A", new FakeCommunicationNode("A", &log), QString("R"));
    stack.insertNode("B", new FakeCommunicationNode("B", &log), QString("A"));
    stack.insertNode("C", new FakeCommunicationNode("C", &log), QString("R"));

    QVERIFY(stack.clearElements(true));
    QCOMPARE(log, QStringList({"B deleted", "C deleted", "A deleted", "R deleted"}));
    QVERIFY(stack.stackElements().isEmpty());
    QCOMPARE(stack.rootStackElement(), nullptr);

    QVERIFY(stack.clearElements(true));
    QCOMPARE(log.size(), 4);
}

void TestCommunicationStack::contractViolationsAbort() {
    const QString source = "Communication/communicationstack";
    // Each runs on a stack holding the root "R".
    const auto onStack = [](std::function<void(CommunicationStack&, FakeCommunicationNode&)> act) {
        return [act] {
            FakeCommunicationNode root, node;
            CommunicationStack stack;
            stack.insertNode("R", &root, QString());
            act(stack, root);
        };
    };
    ZYR_VERIFY_NULL_ASSERTION(onStack([](CommunicationStack& stack, FakeCommunicationNode&) {
                                  stack.insertNode("A", nullptr, QString("R"));
                              }),
                              source, "node");
    ZYR_VERIFY_ASSERTION(onStack([](CommunicationStack& stack, FakeCommunicationNode&) {
                             stack.insertNode(QString(), new FakeCommunicationNode, QString("R"));
                         }),
                         source, "!nodeName.isNull()", "Node name not set.");
    ZYR_VERIFY_ASSERTION(onStack([](CommunicationStack& stack, FakeCommunicationNode&) {
                             stack.insertNode("R", new FakeCommunicationNode, QString("R"));
                         }),
                         source, "!itsStackElements.contains(nodeName)",
                         "CommunicationStack already contains a node with the same name.");
    ZYR_VERIFY_ASSERTION(onStack([](CommunicationStack& stack, FakeCommunicationNode& root) {
                             stack.insertNode("A", &root, QString("R"));
                         }),
                         source, "!nodeAlreadyInserted",
                         "CommunicationStack already contains the node under another name.");
    ZYR_VERIFY_ASSERTION(
        onStack([](CommunicationStack& stack, FakeCommunicationNode&) {
            stack.insertNode("A", new FakeCommunicationNode, QString());
        }),
        source,
        "(nextElement == NULL && itsRootStackElement == NULL) || (nextElement != NULL && "
        "itsRootStackElement != NULL)",
        "CommunicationStack already contains a root element or no next element is given.");
}

ZYR_TEST_CLASS(TestCommunicationStack)

#include "tst_communicationstack.moc"
