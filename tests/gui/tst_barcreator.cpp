#include "testregistry.h"

#include "intents/intent.h"
#include "intents/intentgroup.h"
#include "tools/barcreator.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QToolBar>
#include <QtTest>

using namespace ZyrGui::Intents;
namespace BarCreator = ZyrGui::BarCreator;

namespace {

QIcon redIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

// The titles of a menu's entries, sub-menus written as "Title{...}".
QString describe(const QList<QAction*>& actions) {
    QStringList entries;
    for (QAction* action : actions) {
        if (action->menu() != nullptr)
            entries.append(action->text() + QLatin1Char('{') + describe(action->menu()->actions()) +
                           QLatin1Char('}'));
        else
            entries.append(action->text());
    }
    return entries.join(QLatin1Char(','));
}

// Main{ File{ Open, Recent{ Last }, Empty{} }, Log (checkable), About }
struct MenuTree {
    Intent open{"intAlpha", "Open", redIcon(), "Opens a file", false};
    Intent last{"intBeta", "Last", redIcon(), "Opens the last file", false};
    Intent log{"intAlpha", "Log", redIcon(), "Logs results", true};
    Intent about{"intBeta", "About", redIcon(), "About the program", false};
    IntentGroup main{"Main"};
    IntentGroup file{"File"};
    IntentGroup recent{"Recent"};
    IntentGroup empty{"Empty"};

    MenuTree() {
        recent.add(&last);
        file.add(&open);
        file.add(&recent);
        file.add(&empty);
        main.add(&file);
        main.add(&log);
        main.add(&about);
    }
};

} // namespace

class TestBarCreator : public QObject {
    Q_OBJECT

private slots:
    void groupsInACycleAreNotEnteredAgain();
};

void TestBarCreator::groupsInACycleAreNotEnteredAgain() {
    MenuTree tree;
    tree.recent.add(&tree.recent);
    tree.recent.add(&tree.file);
    // The same group twice side by side is no cycle: it appears twice.
    tree.main.add(&tree.file);
    QMenuBar menuBar;
    QToolBar toolBar;

    BarCreator::createMenuBar(&menuBar, &tree.main);
    BarCreator::createToolBar(&toolBar, &tree.main);

    const QString file = QStringLiteral("File{Open,Recent{Last},Empty{}}");
    QCOMPARE(describe(menuBar.actions()), file + ",Log,About," + file);
    QCOMPARE(describe(toolBar.actions()), QStringLiteral("Open,Last,Log,About,Open,Last"));
}

ZYR_TEST_CLASS(TestBarCreator)

#include "tst_barcreator.moc"
