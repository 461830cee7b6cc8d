#include "testregistry.h"

#include "assertionabort.h"
#include "fakecommunicationnode.h"

#include "Communication/communicationstack.h"
#include "Communication/communicationstackelement.h"
#include "Communication/icomdriver.h"
#include "Communication/icomexecutor.h"
#include "Communication/nodestatemanager.h"

#include <QtTest>

#include <memory>

using ZyrCore::Communication::CommunicationStack;
using ZyrCore::Communication::CommunicationStackElement;
using ZyrCore::Communication::IComDriver;
using ZyrCore::Communication::IComExecutor;
using ZyrCore::Communication::ICommunicationNode;
using ZyrCore::Communication::IComObject;
using ZyrCore::Communication::NodeStateContext;
using ZyrCore::Communication::NodeStateManager;

namespace {

class FakeExecutorNode : public FakeCommunicationNode, public IComExecutor {
public:
    using FakeCommunicationNode::FakeCommunicationNode;
    bool open() override { return FakeCommunicationNode::open(); }
    bool close() override { return FakeCommunicationNode::close(); }
    bool isOpen() override { return FakeCommunicationNode::isOpen(); }
    int lastError() override { return 0; }
    bool execute(IComObject*) override { return true; }
    void execute(QQueue<IComObject*>*) override {}
};

class FakeDriverNode : public FakeCommunicationNode, public IComDriver {
public:
    using FakeCommunicationNode::FakeCommunicationNode;
    bool open() override { return FakeCommunicationNode::open(); }
    bool close() override { return FakeCommunicationNode::close(); }
    bool isOpen() override { return FakeCommunicationNode::isOpen(); }
    int flush() override { return 0; }
    int write(unsigned char*, int) override { return 0; }
    int read(unsigned char*, int) override { return 0; }
    int lastError() override { return 0; }
};

QStringList names(const QList<CommunicationStackElement*>& elements) {
    QStringList result;
    for (CommunicationStackElement* element : elements)
        result << element->name();
    return result;
}

} // namespace

class TestCommunicationStack : public QObject {
    Q_OBJECT

private slots:
    void insertionBuildsTree();
    void clearElementsDeletesTopDown();
    void contractViolationsAbort();
};

void TestCommunicationStack::insertionBuildsTree() {
    FakeCommunicationNode root("R"), first("A"), second("B");
    CommunicationStack stack;
    QCOMPARE(stack.rootStackElement(), nullptr);

    QVERIFY(stack.insertNode("R", &root, QString()));
    QCOMPARE(names(stack.topStackElements()), QStringList({"R"}));
    QVERIFY(stack.insertNode("A", &first, QString("R")));
    QVERIFY(stack.insertNode("B", &second, &root));

    QCOMPARE(names(stack.topStackElements()), QStringList({"A", "B"}));
    QCOMPARE(stack.rootStackElement()->name(), QString("R"));
    QCOMPARE(stack.stackElements().keys(), QStringList({"A", "B", "R"}));
    QCOMPARE(root.setNextNodeCalls(), 0);
    QCOMPARE(first.nextNode(), &root);
    QCOMPARE(second.nextNode(), &root);

    CommunicationStackElement* element = stack.findElement("A");
    QCOMPARE(element->node(), &first);
    QCOMPARE(element->next(), stack.rootStackElement());
    QCOMPARE(stack.rootStackElement()->next(), nullptr);
    QCOMPARE(element->stateManager()->context()->nodeName(), QString("A"));
    QCOMPARE(element->stateManager()->context()->communicationNode(), &first);
    QVERIFY(!element->stateManager()->isActive());
    QVERIFY(stack.clearElements(false));
}

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
