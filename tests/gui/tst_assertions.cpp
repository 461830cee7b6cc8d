#include "guitests.h"

#include "intents/intentgroup.h"
#include "intents/intentmanager.h"
#include "tools/barcreator.h"
#include "windowhelper.h"

#include <QMenuBar>
#include <QToolBar>
#include <QtTest>

using namespace ZyrGui::Intents;

// Contract violations abort the program, so each runs in a child process (this test program
// started again with --assertion-case) and the test reads what the child printed.
int runAssertionCase(const char* caseName) {
    const QByteArray name(caseName);
    IntentManager* manager = IntentManager::instance();
    IntentGroup group(QStringLiteral("Main"));
    QMenuBar menuBar;
    QToolBar toolBar;

    if (name == "group add")
        group.add(nullptr);
    else if (name == "group remove")
        group.remove(nullptr);
    else if (name == "register intent")
        manager->registerIntent(nullptr);
    else if (name == "unregister intent")
        manager->unregisterIntent(nullptr);
    else if (name == "register executor")
        manager->registerExecutor(nullptr);
    else if (name == "unregister executor")
        manager->unregisterExecutor(nullptr);
    else if (name == "menu bar without bar")
        ZyrGui::BarCreator::createMenuBar(nullptr, nullptr);
    else if (name == "menu bar without group")
        ZyrGui::BarCreator::createMenuBar(&menuBar, nullptr);
    else if (name == "tool bar without bar")
        ZyrGui::BarCreator::createToolBar(nullptr, nullptr);
    else if (name == "tool bar without group")
        ZyrGui::BarCreator::createToolBar(&toolBar, nullptr);
    else if (name == "icon without widget")
        ZyrGui::WindowHelper::setWindowIcon(nullptr);
    else if (name == "style sheet without application")
        ZyrGui::WindowHelper::applyStyleSheet(nullptr);

    // Reached only when no assertion fired.
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
    QTest::addColumn<QString>("argument");

    const QString group = "intents/intentgroup";
    const QString manager = "intents/intentmanager";
    const QString bars = "tools/barcreator";
    const QString helper = "windowhelper";
    QTest::newRow("group add") << group << "intentItem";
    QTest::newRow("group remove") << group << "intentItem";
    QTest::newRow("register intent") << manager << "intent";
    QTest::newRow("unregister intent") << manager << "intent";
    QTest::newRow("register executor") << manager << "executor";
    QTest::newRow("unregister executor") << manager << "executor";
    QTest::newRow("menu bar without bar") << bars << "menuBar";
    QTest::newRow("menu bar without group") << bars << "intentGroup";
    QTest::newRow("tool bar without bar") << bars << "toolBar";
    QTest::newRow("tool bar without group") << bars << "intentGroup";
    QTest::newRow("icon without widget") << helper << "widget";
    QTest::newRow("style sheet without application") << helper << "application";
}

void TestAssertions::violationAborts() {
    QFETCH(QString, source);
    QFETCH(QString, argument);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {"--assertion-case", QString::fromLatin1(QTest::currentDataTag())});
    QVERIFY(child.waitForFinished(30000));
    const QString output = QString::fromLatin1(child.readAllStandardOutput());

    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY2(output.contains("Assert in: " + source + ", line "), qPrintable(output));
    QVERIFY2(output.contains("Assert expression:  " + argument + " != NULL\n"), qPrintable(output));
    QVERIFY2(output.contains("Message: " + argument + " is Null!\n"), qPrintable(output));
}

int runAssertionTests(int argc, char** argv) {
    TestAssertions test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_assertions.moc"
