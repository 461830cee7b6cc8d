#include "testregistry.h"

#include <QCoreApplication>
#include <QString>

int playTraceAndReportGrowth(const QString& fileName);

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // The memory test runs this executable again as a child that only plays a trace.
    if (argc == 3 && qstrcmp(argv[1], "--play-trace") == 0)
        return playTraceAndReportGrowth(QString::fromLocal8Bit(argv[2]));
    return TestRegistry::runAll(argc, argv);
}
