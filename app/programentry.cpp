#include "programentry.h"

#include "filesizelimit.h"
#include "mainwindow.h"
#include "programoptions.h"
#include "simulatedevaluationboard.h"
#include "simulatorconfig.h"
#include "windowhelper.h"

#include <QApplication>
#include <QSettings>
#include <QSplashScreen>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

namespace {

void printHelp(FILE* stream, const char* programName) {
    std::fputs(qPrintable(ProgramOptions::helpText(QString::fromLocal8Bit(programName))), stream);
}

// The machine-wide settings store (single-instance flag) lives where only administrators may
// write; the program's instances share it through a store in the user's configuration folder.
void useWritableMachineSettings() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!folder.isEmpty())
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                           folder + QStringLiteral("/zyr-machine"));
}

// Qt 5 draws in device pixels unless told otherwise, so on a dense screen every size the forms
// give in pixels would shrink against the text. Scaling by the screen's own factor (1.5 at 144
// DPI, not rounded up to 2) keeps the forms as laid out at 96 DPI; icons follow in sharp pixmaps.
// Takes effect only before the application exists.
void enableHighDpiScaling() {
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

} // namespace

int runProgram(int argc, char** argv) {
    letFileSizeLimitFailWrites();

    // Help and mistakes need no display, so the command line is read before the application
    // connects to one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ProgramOptions options = ProgramOptions::parse(arguments);
    if (options.showHelp) {
        printHelp(stdout, argv[0]);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "%s\n\n", qPrintable(options.error));
        printHelp(stderr, argv[0]);
        return 2;
    }
    QString configError;
    ZyrSim::SimulatorConfig simulatorConfig;
    if (options.simulate &&
        !ZyrSim::SimulatorConfig::parse(options.simulatorConfig, &simulatorConfig, &configError)) {
        std::fprintf(stderr, "Invalid simulator configuration: %s\n", qPrintable(configError));
        return 2;
    }

    enableHighDpiScaling();
    QApplication application(argc, argv);
    useWritableMachineSettings();

    // The simulated board stands in for the USB board for as long as the window lives.
    std::unique_ptr<ZyrSim::SimulatedEvaluationBoard> simulatedBoard;
    if (options.simulate)
        simulatedBoard = std::make_unique<ZyrSim::SimulatedEvaluationBoard>(simulatorConfig);

    std::unique_ptr<QSplashScreen> splash(ZyrGui::WindowHelper::createSplashScreen());
    splash->show();
    QApplication::processEvents();

    MainWindow window;
    ZyrGui::WindowHelper::setWindowIcon(&window);
    window.show();
    splash->finish(&window);
    splash.reset();

    return QApplication::exec();
}
