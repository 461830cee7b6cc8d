#include "stacktests.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--assertion-case") == 0)
        return runAssertionCase(argv[2]);

    int failures = 0;
    failures += runDelegateTests(argc, argv);
    failures += runNodeStateTests(argc, argv);
    failures += runCommunicationStackTests(argc, argv);
    failures += runAssertionTests(argc, argv);
    return failures;
}
