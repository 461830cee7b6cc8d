#ifndef PROGRAMOPTIONS_H
#define PROGRAMOPTIONS_H

#include <QString>
#include <QStringList>

// What the command line asks for. "--simulate" runs the program on the simulated evaluation
// board; "--simulate=<config>" also configures it (for example "chip=KEL4405,seed=3").
struct ProgramOptions {
    bool simulate = false;
    QString simulatorConfig;
    bool showHelp = false;
    // The first argument the program does not know; the rest is still read.
    QString error;

    // Reads the command line as the program got it, before any application object exists, so
    // help and errors need no display: the toolkit's own options (-platform, -style, -display
    // and the like) and their values are left to the toolkit.
    static ProgramOptions parse(const QStringList& arguments);
    // The options, and every key of the simulated board's configuration with the values it
    // takes.
    static QString helpText(const QString& programName);
};

#endif // PROGRAMOPTIONS_H
