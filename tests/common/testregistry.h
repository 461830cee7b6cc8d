#ifndef TESTS_COMMON_TESTREGISTRY_H
#define TESTS_COMMON_TESTREGISTRY_H

#include <QCoreApplication>
#include <QObject>
#include <QProcess>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

// Lets one test executable hold several test classes: each .cpp registers its class with
// ZYR_TEST_CLASS and the area's main runs them all with ZYR_TEST_MAIN.
namespace TestRegistry {

struct Entry {
    const char* name;
    std::function<QObject*()> create;
};

inline std::vector<Entry>& entries() {
    static std::vector<Entry> all;
    return all;
}

inline int add(const char* name, std::function<QObject*()> create) {
    entries().push_back({name, std::move(create)});
    return 0;
}

// Scenarios that must end in an assertion run in a child process: the test starts its own
// executable again with ZYR_DEATH_SCENARIO=<name> (see runDeathScenario).
inline std::vector<Entry>& deathScenarios() {
    static std::vector<Entry> all;
    return all;
}

inline int addDeathScenario(const char* name, std::function<void()> scenario) {
    deathScenarios().push_back({name, [scenario] {
                                    scenario();
                                    return nullptr;
                                }});
    return 0;
}

struct DeathResult {
    bool crashed = false;
    QString output;
};

// Runs the named scenario in a child process and returns whether it aborted and what it printed
// to standard output.
inline DeathResult runDeathScenario(const QString& name) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZYR_DEATH_SCENARIO"), name);
    // The abort is expected: keep sanitizers from turning it into a report of their own.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       QStringLiteral("detect_leaks=0:handle_abort=0"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    DeathResult result;
    if (!child.waitForFinished(30000)) {
        child.kill();
        child.waitForFinished();
        return result;
    }
    result.crashed = child.exitStatus() == QProcess::CrashExit;
    result.output = QString::fromLocal8Bit(child.readAllStandardOutput());
    return result;
}

inline int runAll(int argc, char** argv) {
    const QByteArray scenario = qgetenv("ZYR_DEATH_SCENARIO");
    if (!scenario.isEmpty()) {
        for (const Entry& entry : deathScenarios()) {
            if (scenario == entry.name)
                entry.create();
        }
        return 0; // the scenario did not abort
    }

    int failures = 0;
    for (const Entry& entry : entries()) {
        std::unique_ptr<QObject> test(entry.create());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures;
}

} // namespace TestRegistry

#define ZYR_TEST_CLASS(Class)                                                                      \
    static const int zyrTestRegistered##Class = TestRegistry::add(#Class, [] { return new Class; });

#define ZYR_DEATH_SCENARIO(name, body)                                                             \
    static const int zyrDeathScenario##name = TestRegistry::addDeathScenario(#name, body);

#define ZYR_TEST_MAIN(ApplicationClass)                                                            \
    int main(int argc, char** argv) {                                                              \
        ApplicationClass application(argc, argv);                                                  \
        return TestRegistry::runAll(argc, argv);                                                   \
    }

#endif // TESTS_COMMON_TESTREGISTRY_H
