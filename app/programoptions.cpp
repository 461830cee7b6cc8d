#include "programoptions.h"

namespace {
const QString kSimulate = QStringLiteral("--simulate");
}

ProgramOptions ProgramOptions::parse(const QStringList& arguments) {
    ProgramOptions options;
    // The first argument is the program itself; Qt's own options are gone by now.
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.showHelp = true;
        } else if (argument == kSimulate) {
            options.simulate = true;
        } else if (argument.startsWith(kSimulate + QLatin1Char('='))) {
            options.simulate = true;
            options.simulatorConfig = argument.mid(kSimulate.size() + 1);
        } else if (options.error.isEmpty()) {
            options.error = QStringLiteral("Unknown argument: %1").arg(argument);
        }
    }
    return options;
}

QString ProgramOptions::helpText(const QString& programName) {
    return QStringLiteral(
               "Usage: %1 [--simulate[=<config>]]\n"
               "\n"
               "Evaluation program for the KEL4X0X time-of-flight sensor module.\n"
               "\n"
               "Options:\n"
               "  --simulate            Run on the simulated evaluation board instead of the USB "
               "board.\n"
               "  --simulate=<config>   The same, with the simulated board configured by\n"
               "                        comma-separated key=value pairs, for example\n"
               "                        chip=KEL4405,seed=3 (keys: chip, seed, app0, target,\n"
               "                        timing, fault.control, fault.module, ...).\n"
               "  -h, --help            Show this help.\n")
        .arg(programName);
}
