#include "sensorcommandstest.h"
#include "simulatedsensortest.h"

#include <QCoreApplication>
#include <QtTest>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    int failures = 0;
    {
        SensorCommandsTest test;
        failures += QTest::qExec(&test, argc, argv);
    }
    {
        SimulatedSensorTest test;
        failures += QTest::qExec(&test, argc, argv);
    }
    return failures;
}
