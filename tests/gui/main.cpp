#include "guitests.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--assertion-case") == 0)
        return runAssertionCase(argv[2]);
    int failures = 0;
    failures += runIntentTests(argc, argv);
    failures += runBarCreatorTests(argc, argv);
    failures += runWindowHelperTests(argc, argv);
    failures += runStatusFieldTests(argc, argv);
    failures += runVersionInfoTests(argc, argv);
    failures += runDeviceStatusBarTests(argc, argv);
    failures += runAssertionTests(argc, argv);
    return failures;
}
