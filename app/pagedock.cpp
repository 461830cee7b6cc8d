#include "pagedock.h"

#include <QAbstractButton>
#include <QDockWidget>
#include <QEvent>
#include <QLayout>
#include <QMouseEvent>

PageDock::PageDock(QDockWidget* dock)
    : QObject(dock)
    , itsDock(dock) {
    // The float button's click toggles the dock through setFloating, which cannot dock it here:
    // this object takes the click over.
    auto* floatButton = dock->findChild<QAbstractButton*>(
        QStringLiteral("qt_dockwidget_floatbutton"), Qt::FindDirectChildrenOnly);
    if (floatButton != nullptr) {
        disconnect(floatButton, &QAbstractButton::clicked, dock, nullptr);
        connect(floatButton, &QAbstractButton::clicked, this, &PageDock::toggleFloating);
    }
    dock->installEventFilter(this);
}

// The docks live in the pages rather than in the window's dock areas, and
// QDockWidget::setFloating(false) leaves such a dock floating when a QMainWindow is among its
// ancestors; then it is made a plain child of its page again, where its layout item waits, and
// told to its listeners as Qt tells a re-dock.
void PageDock::dockIntoItsPage(QDockWidget* dock) {
    dock->setFloating(false);
    if (!dock->isFloating())
        return;
    dock->setParent(dock->parentWidget(), Qt::Widget);
    // Reparenting tells neither layout: the dock's own would keep framing its contents as the
    // floating window's, and a hidden page's would keep the dock where that window stood.
    dock->layout()->invalidate();
    dock->parentWidget()->layout()->invalidate();
    dock->show();
    emit dock->topLevelChanged(false);
}

void PageDock::toggleFloating() {
    if (itsDock->isFloating())
        dockIntoItsPage(itsDock);
    else
        itsDock->setFloating(true);
}

// Above the contents lies the title bar that Qt draws for a dock without the window manager's.
bool PageDock::isOnTitle(const QPoint& position) const {
    const QWidget* contents = itsDock->widget();
    return contents == nullptr || position.y() < contents->geometry().top();
}

// A double click on a floating dock's title, drawn by Qt or by the window manager, docks it as
// the float button does; a docked dock's double click stays with Qt, which floats it. Only the
// double clicks are looked at: other events come also while the dock is being destroyed.
bool PageDock::eventFilter(QObject* watched, QEvent* event) {
    bool onTitle = event->type() == QEvent::NonClientAreaMouseButtonDblClick;
    if (event->type() == QEvent::MouseButtonDblClick) {
        const auto* click = static_cast<QMouseEvent*>(event);
        onTitle = click->button() == Qt::LeftButton && isOnTitle(click->pos());
    }
    if (!onTitle || watched != itsDock || !itsDock->isFloating() ||
        !itsDock->features().testFlag(QDockWidget::DockWidgetFloatable))
        return false;
    dockIntoItsPage(itsDock);
    return true;
}
