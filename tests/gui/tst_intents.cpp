#include "guitests.h"
#include "recordingexecutor.h"
#include "warningcollector.h"

#include "intents/intent.h"
#include "intents/intentexecuteparametercheckable.h"
#include "intents/intentgroup.h"
#include "intents/intentmanager.h"

#include <QAction>
#include <QtTest>
#include <memory>

using namespace ZyrGui::Intents;

namespace {

QStringList executorsCalled(const QList<ExecutorCall>& log) {
    QStringList names;
    for (const ExecutorCall& call : log)
        names.append(call.executor + QLatin1Char('.') + call.slot);
    return names;
}

} // namespace

class TestIntents : public QObject {
    Q_OBJECT

private slots:
    void dispatchReachesEveryExecutorInRegistrationOrder();
    void unregisterRemovesEveryEntryOfAnExecutor();
    void executorThatIsNoQObjectIsSkipped();
    void intentWithoutHandlerDoesNothing();
    void actionTriggerPassesNewCheckedState();
    void directExecutePassesNull();
    void getIntentComparesExactly_data();
    void getIntentComparesExactly();
    void intentRegistersForItsLifetime();
    void executorUnregisteredByEarlierSlotIsNotCalled_data();
    void executorUnregisteredByEarlierSlotIsNotCalled();
    void groupAddKeepsDuplicatesAndRemoveDropsAll();
};

void TestIntents::dispatchReachesEveryExecutorInRegistrationOrder() {
    QList<ExecutorCall> log;
    RecordingExecutor first(QStringLiteral("first"), &log);
    RecordingExecutor second(QStringLiteral("second"), &log);
    Intent alpha("intAlpha", QStringLiteral("Alpha"), QIcon(), QString(), false);
    IntentManager* manager = IntentManager::instance();
    manager->registerExecutor(&first);
    manager->registerExecutor(&second);
    manager->registerExecutor(&first);

    IntentExecuteParameterCheckable parameter(true);
    manager->execute(&alpha, &parameter);

    QCOMPARE(executorsCalled(log),
             QStringList({"first.intAlpha", "second.intAlpha", "first.intAlpha"}));
    for (const ExecutorCall& call : qAsConst(log))
        QCOMPARE(call.parameter, &parameter);

    manager->unregisterExecutor(&first);
    manager->unregisterExecutor(&second);
}

void TestIntents::unregisterRemovesEveryEntryOfAnExecutor() {
    QList<ExecutorCall> log;
    RecordingExecutor twice(QStringLiteral("twice"), &log);
    RecordingExecutor once(QStringLiteral("once"), &log);
    Intent beta("intBeta", QStringLiteral("Beta"), QIcon(), QString(), false);
    IntentManager* manager = IntentManager::instance();
    manager->registerExecutor(&twice);
    manager->registerExecutor(&once);
    manager->registerExecutor(&twice);

    manager->unregisterExecutor(&twice);
    beta.execute();

    QCOMPARE(executorsCalled(log), QStringList({"once.intBeta"}));
    manager->unregisterExecutor(&once);
}

void TestIntents::executorThatIsNoQObjectIsSkipped() {
    QList<ExecutorCall> log;
    PlainExecutor plain;
    RecordingExecutor recording(QStringLiteral("recording"), &log);
    Intent alpha("intAlpha", QStringLiteral("Alpha"), QIcon(), QString(), false);
    IntentManager* manager = IntentManager::instance();
    manager->registerExecutor(&plain);
    manager->registerExecutor(&recording);

    WarningCollector warnings;
    alpha.execute();

    QCOMPARE(executorsCalled(log), QStringList({"recording.intAlpha"}));
    QCOMPARE(warnings.warnings(), QStringList());
    manager->unregisterExecutor(&plain);
    manager->unregisterExecutor(&recording);
}

void TestIntents::intentWithoutHandlerDoesNothing() {
    QList<ExecutorCall> log;
    RecordingExecutor recording(QStringLiteral("recording"), &log);
    Intent gamma("intGamma", QStringLiteral("Gamma"), QIcon(), QString(), false);
    IntentManager::instance()->registerExecutor(&recording);

    WarningCollector warnings;
    gamma.execute();

    QVERIFY(log.isEmpty());
    QCOMPARE(warnings.warnings(), QStringList());
    IntentManager::instance()->unregisterExecutor(&recording);
}

void TestIntents::actionTriggerPassesNewCheckedState() {
    QList<ExecutorCall> log;
    RecordingExecutor recording(QStringLiteral("recording"), &log);
    Intent alpha("intAlpha", QStringLiteral("Alpha"), QIcon(), QString(), true);
    IntentManager::instance()->registerExecutor(&recording);
    QAction action(QStringLiteral("Alpha"));
    action.setCheckable(true);
    connect(&action, SIGNAL(triggered()), &alpha, SLOT(execute()));

    action.trigger();
    action.trigger();

    QCOMPARE(log.size(), 2);
    QCOMPARE(log.at(0).checked, 1);
    QCOMPARE(log.at(1).checked, 0);
    QVERIFY(log.at(0).parameter != nullptr);
    IntentManager::instance()->unregisterExecutor(&recording);
}

void TestIntents::directExecutePassesNull() {
    QList<ExecutorCall> log;
    RecordingExecutor recording(QStringLiteral("recording"), &log);
    Intent alpha("intAlpha", QStringLiteral("Alpha"), QIcon(), QString(), true);
    IntentManager::instance()->registerExecutor(&recording);
    // A signal from something that is not an action carries no checked state either.
    QObject notAnAction;
    connect(&notAnAction, &QObject::objectNameChanged, &alpha, &Intent::execute);

    alpha.execute();
    notAnAction.setObjectName(QStringLiteral("renamed"));

    QCOMPARE(log.size(), 2);
    QCOMPARE(log.at(0).parameter, nullptr);
    QCOMPARE(log.at(1).parameter, nullptr);
    IntentManager::instance()->unregisterExecutor(&recording);
}

void TestIntents::getIntentComparesExactly_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expectedText");

    QTest::newRow("exact name, first registered wins") << "intAlpha"
                                                       << "First alpha";
    QTest::newRow("other intent") << "intBeta"
                                  << "Beta";
    QTest::newRow("lower case") << "intalpha" << QString();
    QTest::newRow("upper case") << "INTALPHA" << QString();
    QTest::newRow("prefix") << "intAlph" << QString();
    QTest::newRow("slot name") << "intAlpha_execute" << QString();
    QTest::newRow("empty") << "" << QString();
}

void TestIntents::getIntentComparesExactly() {
    QFETCH(QString, name);
    QFETCH(QString, expectedText);
    Intent first("intAlpha", QStringLiteral("First alpha"), QIcon(), QString(), false);
    Intent second("intAlpha", QStringLiteral("Second alpha"), QIcon(), QString(), false);
    Intent beta("intBeta", QStringLiteral("Beta"), QIcon(), QString(), false);

    IIntent* found = IntentManager::instance()->getIntent(name);

    QCOMPARE(found != nullptr ? found->text() : QString(), expectedText);
}

void TestIntents::intentRegistersForItsLifetime() {
    IntentManager* manager = IntentManager::instance();
    {
        Intent delta("intDelta", QStringLiteral("Delta"), QIcon(), QStringLiteral("Tip"), true);
        QCOMPARE(manager->getIntent(QStringLiteral("intDelta")), &delta);
        QCOMPARE(delta.name(), "intDelta");
        QCOMPARE(delta.description(), QStringLiteral("Tip"));
        QVERIFY(delta.isCheckable());
    }
    QCOMPARE(manager->getIntent(QStringLiteral("intDelta")), nullptr);
}

void TestIntents::executorUnregisteredByEarlierSlotIsNotCalled_data() {
    QTest::addColumn<bool>("deleteVictim");
    QTest::newRow("unregistered") << false;
    QTest::newRow("deleted") << true;
}

void TestIntents::executorUnregisteredByEarlierSlotIsNotCalled() {
    QFETCH(bool, deleteVictim);
    QList<ExecutorCall> log;
    IntentManager* manager = IntentManager::instance();
    RecordingExecutor killer(QStringLiteral("killer"), &log);
    auto victim = std::make_unique<RecordingExecutor>(QStringLiteral("victim"), &log);
    RecordingExecutor bystander(QStringLiteral("bystander"), &log);
    Intent alpha("intAlpha", QStringLiteral("Alpha"), QIcon(), QString(), false);
    bool struck = false;
    killer.setOnAlpha([&]() {
        if (struck)
            return;
        struck = true;
        if (deleteVictim) {
            victim.reset();
        } else {
            manager->unregisterExecutor(victim.get());
            manager->unregisterExecutor(&killer);
        }
    });
    manager->registerExecutor(&killer);
    manager->registerExecutor(victim.get());
    manager->registerExecutor(&bystander);
    manager->registerExecutor(&killer);

    alpha.execute();

    // Unregistering the killer itself also drops its second entry.
    const QStringList expected =
        deleteVictim ? QStringList({"killer.intAlpha", "bystander.intAlpha", "killer.intAlpha"})
                     : QStringList({"killer.intAlpha", "bystander.intAlpha"});
    QCOMPARE(executorsCalled(log), expected);
}

void TestIntents::groupAddKeepsDuplicatesAndRemoveDropsAll() {
    Intent alpha("intAlpha", QStringLiteral("Alpha"), QIcon(), QString(), false);
    Intent beta("intBeta", QStringLiteral("Beta"), QIcon(), QString(), false);
    IntentGroup group(QStringLiteral("File"));

    group.add(&alpha);
    group.add(&beta);
    group.add(&alpha);
    QCOMPARE(group.text(), QStringLiteral("File"));
    QCOMPARE(*group.intents(), (QList<IIntentBase*>{&alpha, &beta, &alpha}));

    group.remove(&alpha);
    QCOMPARE(*group.intents(), (QList<IIntentBase*>{&beta}));
}

int runIntentTests(int argc, char** argv) {
    TestIntents test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_intents.moc"
