#include "testregistry.h"
#include "tracecost.h"

#include <QCoreApplication>
#include <QString>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // The memory tests run this executable again as a child that only reads, plays or loads a
    // trace.
    if (argc == 4 && qstrcmp(argv[1], "--trace-cost") == 0)
        return reportTraceCost(QString::fromLatin1(argv[2]), QString::fromLocal8Bit(argv[3]));
    return TestRegistry::runAll(argc, argv);
}
