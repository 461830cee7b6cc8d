#include "programoptions.h"

#include "simulatorconfig.h"

namespace {

const QString kSimulate = QStringLiteral("--simulate");

// Width of the help's lines, and where the descriptions of its options and keys begin.
constexpr int kHelpWidth = 79;
constexpr int kHelpColumn = 24;

enum class ToolkitValue {
    None,
    Next,         // the argument after the option
    NextOrJoined, // also "-option=value"
};

struct ToolkitOption {
    const char* name;
    ToolkitValue value;
};

// The options QApplication takes off the command line, with one dash or two: those of every Qt
// GUI program, of its widgets and of the X11 platform.
const ToolkitOption kToolkitOptions[] = {
    {"platform", ToolkitValue::Next},
    {"platformpluginpath", ToolkitValue::Next},
    {"platformtheme", ToolkitValue::Next},
    {"plugin", ToolkitValue::Next},
    {"qwindowgeometry", ToolkitValue::Next},
    {"qwindowicon", ToolkitValue::Next},
    {"qwindowtitle", ToolkitValue::Next},
    {"reverse", ToolkitValue::None},
    {"session", ToolkitValue::NextOrJoined},
    {"testability", ToolkitValue::None},
    {"qmljsdebugger", ToolkitValue::NextOrJoined},
    {"style", ToolkitValue::NextOrJoined},
    {"stylesheet", ToolkitValue::NextOrJoined},
    {"widgetcount", ToolkitValue::None},
    {"display", ToolkitValue::Next},
    {"geometry", ToolkitValue::Next},
    {"title", ToolkitValue::Next},
    {"icon", ToolkitValue::Next},
    {"name", ToolkitValue::Next},
    {"visual", ToolkitValue::Next},
    {"sync", ToolkitValue::None},
    {"nograb", ToolkitValue::None},
    {"dograb", ToolkitValue::None},
};

// How many arguments from the given one the toolkit takes: 0 when it is none of its options.
int toolkitArgumentCount(const QString& argument) {
    if (!argument.startsWith(QLatin1Char('-')))
        return 0;
    const QString option = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    for (const ToolkitOption& entry : kToolkitOptions) {
        const QLatin1String name(entry.name);
        if (option == name)
            return entry.value == ToolkitValue::None ? 1 : 2;
        if (entry.value == ToolkitValue::NextOrJoined && option.startsWith(name) &&
            option.midRef(name.size()).startsWith(QLatin1Char('=')))
            return 1;
    }
    return 0;
}

// The text broken into lines of at most kHelpWidth characters, each but the first indented to
// kHelpColumn.
QString wrappedAtColumn(const QString& text) {
    QString wrapped;
    int lineLength = kHelpColumn;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (lineLength > kHelpColumn && lineLength + 1 + word.size() > kHelpWidth) {
            wrapped += QLatin1Char('\n') + QString(kHelpColumn, QLatin1Char(' '));
            lineLength = kHelpColumn;
        }
        if (lineLength > kHelpColumn) {
            wrapped += QLatin1Char(' ');
            ++lineLength;
        }
        wrapped += word;
        lineLength += word.size();
    }
    return wrapped;
}

// One entry of the help: its name in the first column, its description wrapped beside it.
QString helpEntry(const QString& name, const QString& description) {
    QString entry = QStringLiteral("  ") + name;
    entry += entry.size() < kHelpColumn
                 ? QString(kHelpColumn - entry.size(), QLatin1Char(' '))
                 : QLatin1Char('\n') + QString(kHelpColumn, QLatin1Char(' '));
    return entry + wrappedAtColumn(description) + QLatin1Char('\n');
}

} // namespace

ProgramOptions ProgramOptions::parse(const QStringList& arguments) {
    ProgramOptions options;
    // The first argument is the program itself.
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const int toolkitArguments = toolkitArgumentCount(argument);
        if (toolkitArguments > 0) {
            i += toolkitArguments - 1;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
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
    QString help =
        QStringLiteral("Usage: %1 [--simulate[=<config>]]\n"
                       "\n"
                       "Evaluation program for the KEL4X0X time-of-flight sensor module.\n"
                       "\n"
                       "Options:\n")
            .arg(programName);
    help += helpEntry(kSimulate, QStringLiteral("Run on the simulated evaluation board instead "
                                                "of the USB board."));
    help += helpEntry(kSimulate + QStringLiteral("=<config>"),
                      QStringLiteral("The same, with the simulated board configured by "
                                     "comma-separated key=value pairs, for example "
                                     "chip=KEL4405,seed=3 (keys below)."));
    help += helpEntry(QStringLiteral("-h, --help"), QStringLiteral("Show this help."));
    help +=
        QStringLiteral("\nThe toolkit's own options, such as -platform, -style and -display, are\n"
                       "passed on to Qt.\n"
                       "\n"
                       "Keys of <config> and the values they take:\n");
    for (const QString& key : ZyrSim::SimulatorConfig::keys())
        help += helpEntry(key, ZyrSim::SimulatorConfig::acceptedValues(key));
    return help;
}
