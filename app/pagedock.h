#ifndef ZYRAPP_PAGEDOCK_H
#define ZYRAPP_PAGEDOCK_H

#include <QObject>

class QDockWidget;

// Lets a user dock a plot again that lives in a tab page rather than in the main window's dock
// areas. Qt floats such a dock but cannot put it back (QDockWidget::setFloating(false) leaves it
// floating), so the dock's float button and a double click on its title go through
// dockIntoItsPage here, as the window's Dock Windows entry does. Owned by the dock.
class PageDock : public QObject {
    Q_OBJECT

public:
    explicit PageDock(QDockWidget* dock);

    // Puts a floating dock back into its page; a docked one stays as it is.
    static void dockIntoItsPage(QDockWidget* dock);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toggleFloating();
    bool isOnTitle(const QPoint& position) const;

    QDockWidget* const itsDock;
};

#endif // ZYRAPP_PAGEDOCK_H
