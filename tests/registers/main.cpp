#include <QCoreApplication>
#include <QtTest>

int runI2cObjectTests(int argc, char** argv);
int runRegisterModelTests(int argc, char** argv);
int runRegisterCommunicationTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    int failures = 0;
    failures += runI2cObjectTests(argc, argv);
    failures += runRegisterModelTests(argc, argv);
    failures += runRegisterCommunicationTests(argc, argv);
    return failures;
}
