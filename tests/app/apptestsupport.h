#ifndef TESTS_APP_APPTESTSUPPORT_H
#define TESTS_APP_APPTESTSUPPORT_H

#include "userdialogs.h"

#include <QCheckBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

// Windows under test let the system pick their automation port: the program's fixed port may be
// held by a running program or another test.
constexpr quint16 kAnyFreePort = 0;

// Whether a channel's status field shows the colour of an open or of a closed channel.
inline bool showsOpen(const QWidget* field) {
    return field->styleSheet().contains(QLatin1String("background-color: #009f69"));
}
inline bool showsClosed(const QWidget* field) {
    return field->styleSheet().contains(QLatin1String("background-color: #df5353"));
}

// Points both settings scopes of the program at a temporary folder, so tests never touch the
// user's or the machine's real settings.
class ScopedSettingsFolder {
public:
    ScopedSettingsFolder() {
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
            QSettings::setPath(format, QSettings::UserScope, itsFolder.filePath("user"));
            QSettings::setPath(format, QSettings::SystemScope, itsFolder.filePath("system"));
        }
    }
    bool isValid() const { return itsFolder.isValid(); }

private:
    QTemporaryDir itsFolder;
};

// Answers every dialog the application opens through UserDialogs while it lives: records each
// message as "title: text" and each file question's caption, and answers it with pathAnswer.
class DialogRecorder {
public:
    DialogRecorder() {
        UserDialogs::setMessageHandler([this](const UserDialogs::Message& message) {
            seen << message.title + ": " + message.text;
        });
        UserDialogs::setPathHandler([this](const QString& caption) {
            captions << caption;
            return pathAnswer;
        });
    }
    ~DialogRecorder() {
        UserDialogs::setMessageHandler({});
        UserDialogs::setPathHandler({});
    }

    QStringList seen;
    QStringList captions;
    QString pathAnswer;
};

// Opens a menu of a shown window's menu bar and picks one of its entries with the mouse, as a
// user does; false when the window has no such entry.
inline bool chooseMenuEntry(QMainWindow& window, const QString& menuTitle, const QString& entry) {
    QMenuBar* bar = window.menuBar();
    for (QAction* top : bar->actions()) {
        QMenu* menu = top->menu();
        if (top->text() != menuTitle || menu == nullptr)
            continue;
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(top).center());
        if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 10000))
            return false;
        for (QAction* action : menu->actions()) {
            if (action->text() == entry) {
                QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                                  menu->actionGeometry(action).center());
                return true;
            }
        }
        menu->close();
    }
    return false;
}

// Clicks a shown check box on the box its style draws.
inline void clickBox(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator =
        box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

#endif // TESTS_APP_APPTESTSUPPORT_H
