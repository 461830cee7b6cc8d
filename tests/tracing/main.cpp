#include "testregistry.h"

#include <QCoreApplication>
#include <QString>

int playTraceAndReportGrowth(const QString& fileName);
int guardTraceAndReportCost(const QString& fileName);

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // The memory tests run this executable again as a child that only reads a trace.
    if (argc == 3 && qstrcmp(argv[1], "--play-trace") == 0)
        return playTraceAndReportGrowth(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], "--guard-trace") == 0)
        return guardTraceAndReportCost(QString::fromLocal8Bit(argv[2]));
    return TestRegistry::runAll(argc, argv);
}
