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
#include <functional>
#include <memory>
#include <sys/resource.h>

namespace {

// Calls step with the program's window every 10 ms once its event loop runs (start-up also
// processes events before); when step returns true, exits through the Exit intent, as a user
// would.
void watchTheWindow(std::function<bool(MainWindow&)> step) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, step] {
        if (QThread::currentThread()->loopLevel() == 0)
            return;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<MainWindow*>(widget);
            if (window != nullptr && step(*window)) {
                poll->stop();
                ZyrGui::Intents::IntentManager::instance()->getIntent("intExit")->execute();
            }
        }
    });
    poll->start(10);
}

// Reports how many supervision periods passed until both channel fields showed open, counted by a
// timer of the supervisors' 500 ms, which a busy machine delays as it delays theirs; and the time
// it took.
void startChannelsProbe() {
    QElapsedTimer started;
    started.start();
    auto* periods = new QTimer(qApp);
    const auto count = std::make_shared<int>(0);
    QObject::connect(periods, &QTimer::timeout, [count] { ++*count; });
    periods->start(500);
    watchTheWindow([started, count](MainWindow& window) {
        auto* statusBar = window.findChild<DeviceStatusBar*>();
        if (!showsOpen(statusBar->controlHidField()) || !showsOpen(statusBar->moduleHidField()))
            return false;
        std::printf("both channels open after %d supervision periods (%lld ms)\n", *count,
                    static_cast<long long>(started.elapsed()));
        std::fflush(stdout);
        return true;
    });
}

// Under a file-size limit of sizeLimit bytes, saves data to logFile in continuous mode until the
// log stops, and tells each message the user saw on standard output.
void startLogLimitProbe(rlim_t sizeLimit, const QString& logFile) {
    const rlimit limit{sizeLimit, sizeLimit};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    UserDialogs::setMessageHandler([](const UserDialogs::Message& message) {
        std::printf("%s: %s\n", qPrintable(message.title), qPrintable(message.text));
        std::fflush(stdout);
    });
    watchTheWindow([logFile](MainWindow& window) {
        auto* saveData = window.findChild<QCheckBox*>(QStringLiteral("cbSaveData"));
        auto* dataFile = window.findChild<QLineEdit*>(QStringLiteral("leDataFile"));
        if (dataFile->text() == logFile)
            return !saveData->isChecked();
        if (showsOpen(window.findChild<DeviceStatusBar*>()->moduleHidField())) {
            dataFile->setText(logFile);
            window.findChild<QCheckBox*>(QStringLiteral("cbContinuousMode"))->setChecked(true);
            saveData->setChecked(true);
        }
        return false;
    });
}

// Reports how the shown window is scaled to the screen: its device pixel ratio, the DPI its
// fonts are laid out for, and the ratio of its icon's pixmap.
void startScalingProbe() {
    watchTheWindow([](MainWindow& window) {
        if (!window.isVisible())
            return false;
        std::printf("ratio %g dpi %d icon %g\n", window.devicePixelRatioF(), window.logicalDpiY(),
                    window.windowIcon().pixmap(16, 16).devicePixelRatioF());
        std::fflush(stdout);
        return true;
    });
}

// In a child started with ZYR_PROGRAM_PROBE ("channels", "scaling" or
// "log-limit=<bytes>:<file>"), one of the probes above runs alongside the program.
void startProgramProbe() {
    const QString probe = qEnvironmentVariable("ZYR_PROGRAM_PROBE");
    const QString logLimit = QStringLiteral("log-limit=");
    if (probe == QLatin1String("channels"))
        startChannelsProbe();
    else if (probe == QLatin1String("scaling"))
        startScalingProbe();
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
