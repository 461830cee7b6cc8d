#include "tools/barcreator.h"

#include "intents/iintent.h"
#include "intents/iintentgroup.h"

#include "Tools/zyrassert.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace ZyrGui::BarCreator {

namespace {

constexpr const char* kSource = "tools/barcreator";

using Intents::IIntent;
using Intents::IIntentBase;
using Intents::IIntentGroup;

// The groups from the root down to the one being filled; a group found among them again would
// make the filling recurse without end.
using GroupPath = QList<const IIntentGroup*>;

void connectToIntent(QAction* action, IIntent* intent) {
    if (auto* intentObject = dynamic_cast<QObject*>(intent))
        QObject::connect(action, SIGNAL(triggered()), intentObject, SLOT(execute()));
}

void fillMenu(QMenuBar* menuBar, QMenu* menu, IIntentGroup* intentGroup, GroupPath& path) {
    path.append(intentGroup);
    const QList<IIntentBase*> items = *intentGroup->intents();
    for (IIntentBase* item : items) {
        if (auto* group = dynamic_cast<IIntentGroup*>(item)) {
            if (path.contains(group))
                continue;
            QMenu* subMenu =
                menu != nullptr ? menu->addMenu(group->text()) : menuBar->addMenu(group->text());
            fillMenu(menuBar, subMenu, group, path);
        } else if (auto* intent = dynamic_cast<IIntent*>(item)) {
            QAction* action = menu != nullptr ? menu->addAction(intent->text())
                                              : menuBar->addAction(intent->text());
            action->setToolTip(intent->description());
            action->setStatusTip(intent->description());
            action->setCheckable(intent->isCheckable());
            connectToIntent(action, intent);
        }
    }
    path.removeLast();
}

void fillToolBar(QToolBar* toolBar, IIntentGroup* intentGroup, GroupPath& path) {
    path.append(intentGroup);
    const QList<IIntentBase*> items = *intentGroup->intents();
    for (IIntentBase* item : items) {
        if (auto* group = dynamic_cast<IIntentGroup*>(item)) {
            if (!path.contains(group))
                fillToolBar(toolBar, group, path);
        } else if (auto* intent = dynamic_cast<IIntent*>(item)) {
            QAction* action = toolBar->addAction(intent->text());
            action->setToolTip(intent->description());
            action->setStatusTip(intent->description());
            action->setIcon(intent->icon());
            connectToIntent(action, intent);
        }
    }
    path.removeLast();
}

} // namespace

void createMenuBar(QMenuBar* menuBar, IIntentGroup* intentGroup) {
    ZYR_ASSERT_NOT_NULL(kSource, menuBar);
    ZYR_ASSERT_NOT_NULL(kSource, intentGroup);
    createMenu(menuBar, nullptr, intentGroup);
}

void createToolBar(QToolBar* toolBar, IIntentGroup* intentGroup) {
    ZYR_ASSERT_NOT_NULL(kSource, toolBar);
    ZYR_ASSERT_NOT_NULL(kSource, intentGroup);
    createToolBarItems(toolBar, intentGroup);
}

void createMenu(QMenuBar* menuBar, QMenu* menu, IIntentGroup* intentGroup) {
    GroupPath path;
    fillMenu(menuBar, menu, intentGroup, path);
}

void createToolBarItems(QToolBar* toolBar, IIntentGroup* intentGroup) {
    GroupPath path;
    fillToolBar(toolBar, intentGroup, path);
}

} // namespace ZyrGui::BarCreator
