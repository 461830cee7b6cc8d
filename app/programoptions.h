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

    static ProgramOptions parse(const QStringList& arguments);
    static QString helpText(const QString& programName);
};

#endif // PROGRAMOPTIONS_H
