#include <QCoreApplication>

int runHidHelperTests(int argc, char** argv);
int runHidDeviceTests(int argc, char** argv);
int runHidComDriverTests(int argc, char** argv);
int runHidEndToEndTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    int failures = 0;
    failures += runHidHelperTests(argc, argv);
    failures += runHidDeviceTests(argc, argv);
    failures += runHidComDriverTests(argc, argv);
    failures += runHidEndToEndTests(argc, argv);
    return failures;
}
