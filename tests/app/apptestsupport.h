#ifndef TESTS_APP_APPTESTSUPPORT_H
#define TESTS_APP_APPTESTSUPPORT_H

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

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

// Closes every message box as soon as it shows and remembers what it said, and whether it came
// up while the caller considered itself busy (e.g. inside a constructor).
class MessageBoxCloser : public QObject {
public:
    struct Seen {
        QString title;
        QString text;
        bool whileBusy;
    };

    explicit MessageBoxCloser(const bool* busy = nullptr)
        : itsBusy(busy) {
        connect(&itsTimer, &QTimer::timeout, this, &MessageBoxCloser::closeBoxes);
        itsTimer.start(5);
    }

    QList<Seen> seen;

private:
    void closeBoxes() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr || !box->isVisible())
                continue;
            seen.append({box->windowTitle(), box->text(), itsBusy != nullptr && *itsBusy});
            box->done(QMessageBox::Ok);
        }
    }

    const bool* itsBusy;
    QTimer itsTimer;
};

#endif // TESTS_APP_APPTESTSUPPORT_H
