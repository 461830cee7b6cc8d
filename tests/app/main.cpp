#include "apptestsupport.h"
#include "testregistry.h"

#include "devicestatusbar.h"
#include "intents/iintent.h"
#include "intents/intentmanager.h"
#include "programentry.h"
#include "zyrstatusfield.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

// In a child started with ZYR_PROGRAM_PROBE, watches the program's window from inside its event
// loop: once both channel fields show open it reports the time taken and exits through the Exit
// intent, as a user would.
void startProgramProbe() {
    if (qEnvironmentVariableIsEmpty("ZYR_PROGRAM_PROBE"))
        return;
    auto* started = new QElapsedTimer;
    started->start();
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, started] {
        // Start-up also processes events before the event loop runs; Exit needs the loop.
        if (QThread::currentThread()->loopLevel() == 0)
            return;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* statusBar = widget->findChild<DeviceStatusBar*>();
            if (statusBar == nullptr)
                continue;
            if (!showsOpen(statusBar->controlHidField()) || !showsOpen(statusBar->moduleHidField()))
                return;
            std::printf("both channels open after %lld ms\n",
                        static_cast<long long>(started->elapsed()));
            std::fflush(stdout);
            poll->stop();
            delete started;
            ZyrGui::Intents::IntentManager::instance()
                ->getIntent(QStringLiteral("intExit"))
                ->execute();
            return;
        }
    });
    poll->start(10);
}
Q_COREAPP_STARTUP_FUNCTION(startProgramProbe)

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("ZYR_PROGRAM_RUN"))
        return runProgram(argc, argv);
    QApplication application(argc, argv);
    return TestRegistry::runAll(argc, argv);
}
