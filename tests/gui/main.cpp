#include "guitests.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int failures = 0;
    failures += runIntentTests(argc, argv);
    failures += runBarCreatorTests(argc, argv);
    failures += runWindowHelperTests(argc, argv);
    failures += runStatusFieldTests(argc, argv);
    failures += runVersionInfoTests(argc, argv);
    failures += runDeviceStatusBarTests(argc, argv);
    return failures;
}
