#include "apptestsupport.h"
#include "testregistry.h"

#include "devicestatusbar.h"
#include "intents/iintent.h"
#include "intents/intentmanager.h"
#include "mainwindow.h"
#include "programentry.h"
#include "zyrstatusfield.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

void exitThroughTheMenu() {
    ZyrGui::Intents::IntentManager::instance()->getIntent(QStringLiteral("intExit"))->execute();
}

// The program's window once its event loop runs (start-up also processes events before).
MainWindow* runningWindow() {
    if (QThread::currentThread()->loopLevel() == 0)
        return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<MainWindow*>(widget))
            return window;
    }
    return nullptr;
}

// Watches the program's window from inside its event loop: once both channel fields show open
// it reports the time taken and exits through the Exit intent, as a user would.
void startChannelsProbe() {
    auto* started = new QElapsedTimer;
    started->start();
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, started] {
        MainWindow* window = runningWindow();
        if (window == nullptr)
            return;
        auto* statusBar = window->findChild<DeviceStatusBar*>();
        if (!showsOpen(statusBar->controlHidField()) || !showsOpen(statusBar->moduleHidField()))
            return;
        std::printf("both channels open after %lld ms\n",
                    static_cast<long long>(started->elapsed()));
        std::fflush(stdout);
        poll->stop();
        delete started;
        exitThroughTheMenu();
    });
    poll->start(10);
}

// Under a file-size limit of sizeLimit bytes, saves data to logFile in continuous mode until the
// log stops, tells each message the user saw on standard output and exits through the Exit
// intent.
void startLogLimitProbe(rlim_t sizeLimit, const QString& logFile) {
    const rlimit limit{sizeLimit, sizeLimit};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    UserDialogs::setMessageHandler([](const UserDialogs::Message& message) {
        std::printf("%s: %s\n", qPrintable(message.title), qPrintable(message.text));
        std::fflush(stdout);
    });
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [logFile] {
        MainWindow* window = runningWindow();
        if (window == nullptr)
            return;
        auto* saveData = window->findChild<QCheckBox*>(QStringLiteral("cbSaveData"));
        auto* dataFile = window->findChild<QLineEdit*>(QStringLiteral("leDataFile"));
        if (dataFile->text() != logFile) {
            if (!showsOpen(window->findChild<DeviceStatusBar*>()->moduleHidField()))
                return;
            dataFile->setText(logFile);
            window->findChild<QCheckBox*>(QStringLiteral("cbContinuousMode"))->setChecked(true);
            saveData->setChecked(true);
        } else if (!saveData->isChecked()) {
            exitThroughTheMenu();
        }
    });
    poll->start(10);
}

// In a child started with ZYR_PROGRAM_PROBE ("channels" or "log-limit=<bytes>:<file>"), one of
// the probes above runs alongside the program.
void startProgramProbe() {
    const QString probe = qEnvironmentVariable("ZYR_PROGRAM_PROBE");
    const QString logLimit = QStringLiteral("log-limit=");
    if (probe == QLatin1String("channels"))
        startChannelsProbe();
    else if (probe.startsWith(logLimit))
        startLogLimitProbe(probe.mid(logLimit.size()).section(':', 0, 0).toULongLong(),
                           probe.section(':', 1));
}
Q_COREAPP_STARTUP_FUNCTION(startProgramProbe)

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("ZYR_PROGRAM_RUN"))
        return runProgram(argc, argv);
    QApplication application(argc, argv);
    return TestRegistry::runAll(argc, argv);
}
