#include "assertionabort.h"
#include "recordingexecutor.h"
#include "testregistry.h"

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
    void executorUnregisteredByEarlierSlotIsNotCalled_data();
    void executorUnregisteredByEarlierSlotIsNotCalled();
    void nullArgumentsAbort();
};

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

void TestIntents::nullArgumentsAbort() {
    const QString manager = "intents/intentmanager";
    ZYR_VERIFY_NULL_ASSERTION([] { IntentGroup(QStringLiteral("Main")).add(nullptr); },
                              "intents/intentgroup", "intentItem");
    ZYR_VERIFY_NULL_ASSERTION([] { IntentManager::instance()->registerExecutor(nullptr); }, manager,
                              "executor");
}

ZYR_TEST_CLASS(TestIntents)

#include "tst_intents.moc"
