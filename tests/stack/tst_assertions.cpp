#include "stacktests.h"

#include "fakecommunicationnode.h"

#include "Communication/communicationstack.h"
#include "Communication/nodestatecontext.h"
#include "Communication/nodestatemanager.h"

#include <QtTest>

using ZyrCore::Communication::CommunicationStack;
using ZyrCore::Communication::NodeStateContext;
using ZyrCore::Communication::NodeStateManager;

// Contract violations abort the program, so each runs in a child process (this test program
// started again with --assertion-case) and the test reads what the child printed.
int runAssertionCase(const char* caseName) {
    const QByteArray name(caseName);
    FakeCommunicationNode root, node;
    CommunicationStack stack;
    stack.insertNode("R", &root, QString());

    if (name == "null name")
        stack.insertNode(QString(), &node, QString("R"));
    else if (name == "empty name")
        stack.insertNode(QString(""), &node, QString("R"));
    else if (name == "null node")
        stack.insertNode("A", nullptr, QString("R"));
    else if (name == "same name twice")
        stack.insertNode("R", &node, QString("R"));
    else if (name == "same node twice")
        stack.insertNode("A", &root, QString("R"));
    else if (name == "second root")
        stack.insertNode("A", &node, QString());
    else if (name == "manager without node")
        NodeStateManager manager(nullptr);
    else if (name == "context without node")
        NodeStateContext().setCommunicationNode(nullptr);

    // Reached only when no assertion fired.
    stack.clearElements(false);
    return 0;
}

class TestAssertions : public QObject {
    Q_OBJECT

private slots:
    void violationAborts_data();
    void violationAborts();
};

void TestAssertions::violationAborts_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("message");

    const QString stack = "Communication/communicationstack";
    QTest::newRow("null name") << stack << "!nodeName.isNull()"
                               << "Node name not set.";
    QTest::newRow("empty name") << stack << "!nodeName.isEmpty()"
                                << "Node name is empty.";
    QTest::newRow("null node") << stack << "node != NULL"
                               << "node is Null!";
    QTest::newRow("same name twice")
        << stack << "!itsStackElements.contains(nodeName)"
        << "CommunicationStack already contains a node with the same name.";
    QTest::newRow("same node twice")
        << stack << "!nodeAlreadyInserted"
        << "CommunicationStack already contains the node under another name.";
    QTest::newRow("second root")
        << stack
        << "(nextElement == NULL && itsRootStackElement == NULL) || (nextElement != NULL && "
           "itsRootStackElement != NULL)"
        << "CommunicationStack already contains a root element or no next element is given.";
    QTest::newRow("manager without node") << "Communication/nodestatemanager"
                                          << "node != NULL"
                                          << "node is Null!";
    QTest::newRow("context without node") << "Communication/nodestatecontext"
                                          << "node != NULL"
                                          << "node is Null!";
}

void TestAssertions::violationAborts() {
    QFETCH(QString, source);
    QFETCH(QString, expression);
    QFETCH(QString, message);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {"--assertion-case", QString::fromLatin1(QTest::currentDataTag())});
    QVERIFY(child.waitForFinished(30000));
    const QString output = QString::fromLatin1(child.readAllStandardOutput());

    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY2(output.contains("Assert in: " + source + ", line "), qPrintable(output));
    QVERIFY2(output.contains("Assert expression:  " + expression + "\n"), qPrintable(output));
    QVERIFY2(output.contains("Message: " + message + "\n"), qPrintable(output));
}

int runAssertionTests(int argc, char** argv) {
    TestAssertions test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_assertions.moc"
