#include "fakecommunicationnode.h"
#include "testregistry.h"

#include "Communication/nodestatemanager.h"
#include "intents/iintentexecutor.h"
#include "intents/intent.h"
#include "intents/intentgroup.h"
#include "intents/intentmanager.h"
#include "tools/barcreator.h"
#include "zyrstatusfield.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QToolBar>
#include <QtTest>
#include <functional>
#include <memory>

using namespace ZyrGui::Intents;
using ZyrCore::Communication::NodeStateManager;
using ZyrGui::ZyrStatusField;
namespace BarCreator = ZyrGui::BarCreator;

namespace {

// The titles of a menu's entries, sub-menus written as "Title{...}".
QString describe(const QList<QAction*>& actions) {
    QStringList entries;
    for (QAction* action : actions) {
        entries.append(action->text());
        if (action->menu() != nullptr)
            entries.last() +=
                QLatin1Char('{') + describe(action->menu()->actions()) + QLatin1Char('}');
    }
    return entries.join(QLatin1Char(','));
}

// Writes each call of its slot into a shared log and may run an action on its first call, such
// as unregistering another executor. Unregisters itself when destroyed, as every executor does.
class RecordingExecutor : public QObject, public IIntentExecutor {
    Q_OBJECT
public:
    RecordingExecutor(const QString& name, QStringList* log)
        : itsName(name)
        , itsLog(log) {}
    ~RecordingExecutor() override { IntentManager::instance()->unregisterExecutor(this); }
    std::function<void()> onAlpha;
public slots:
    void intAlpha_execute(ZyrGui::Intents::IIntentExecuteParameter*) {
        itsLog->append(itsName + QStringLiteral(".intAlpha"));
        if (onAlpha)
            onAlpha();
    }

private:
    QString itsName;
    QStringList* itsLog;
};

} // namespace

class TestGui : public QObject {
    Q_OBJECT

private slots:
    void executorUnregisteredByEarlierSlotIsNotCalled_data();
    void executorUnregisteredByEarlierSlotIsNotCalled();
    void barsDoNotEnterAGroupInACycleAgain();
    void statusFieldLeavesADestroyedManagerAlone();
};

void TestGui::executorUnregisteredByEarlierSlotIsNotCalled_data() {
    QTest::addColumn<bool>("deleteVictim");
    QTest::newRow("unregistered") << false;
    QTest::newRow("deleted") << true;
}

void TestGui::executorUnregisteredByEarlierSlotIsNotCalled() {
    QFETCH(bool, deleteVictim);
    QStringList log;
    IntentManager* manager = IntentManager::instance();
    RecordingExecutor killer(QStringLiteral("killer"), &log);
    auto victim = std::make_unique<RecordingExecutor>(QStringLiteral("victim"), &log);
    RecordingExecutor bystander(QStringLiteral("bystander"), &log);
    Intent alpha("intAlpha", QStringLiteral("Alpha"), QIcon(), QString(), false);
    bool struck = false;
    killer.onAlpha = [&]() {
        if (struck)
            return;
        struck = true;
        if (deleteVictim) {
            victim.reset();
        } else {
            manager->unregisterExecutor(victim.get());
            manager->unregisterExecutor(&killer);
        }
    };
    manager->registerExecutor(&killer);
    manager->registerExecutor(victim.get());
    manager->registerExecutor(&bystander);
    manager->registerExecutor(&killer);

    alpha.execute();

    // Unregistering the killer itself also drops its second entry.
    const QStringList expected =
        deleteVictim ? QStringList({"killer.intAlpha", "bystander.intAlpha", "killer.intAlpha"})
                     : QStringList({"killer.intAlpha", "bystander.intAlpha"});
    QCOMPARE(log, expected);
}

void TestGui::barsDoNotEnterAGroupInACycleAgain() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    const QIcon icon(pixmap);
    Intent open("intAlpha", "Open", icon, "Opens a file", false);
    Intent last("intBeta", "Last", icon, "Opens the last file", false);
    Intent log("intAlpha", "Log", icon, "Logs results", true);
    Intent about("intBeta", "About", icon, "About the program", false);
    IntentGroup main("Main");
    IntentGroup file("File");
    IntentGroup recent("Recent");
    IntentGroup empty("Empty");
    recent.add(&last);
    recent.add(&recent);
    recent.add(&file);
    file.add(&open);
    file.add(&recent);
    file.add(&empty);
    main.add(&file);
    main.add(&log);
    main.add(&about);
    // The same group twice side by side is no cycle: it appears twice.
    main.add(&file);
    QMenuBar menuBar;
    QToolBar toolBar;

    BarCreator::createMenuBar(&menuBar, &main);
    BarCreator::createToolBar(&toolBar, &main);

    const QString fileMenu = QStringLiteral("File{Open,Recent{Last},Empty{}}");
    QCOMPARE(describe(menuBar.actions()), fileMenu + ",Log,About," + fileMenu);
    QCOMPARE(describe(toolBar.actions()), QStringLiteral("Open,Last,Log,About,Open,Last"));
}

void TestGui::statusFieldLeavesADestroyedManagerAlone() {
    FakeCommunicationNode node;
    auto manager = std::make_unique<NodeStateManager>(&node);
    ZyrStatusField field(nullptr);
    QVERIFY(field.setStateManager(manager.get()));

    manager.reset();

    QVERIFY(field.releaseStateManager());
    QVERIFY(!field.releaseStateManager());
}

ZYR_TEST_CLASS(TestGui)

#include "tst_gui.moc"
