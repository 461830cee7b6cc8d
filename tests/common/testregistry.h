#ifndef TESTS_COMMON_TESTREGISTRY_H
#define TESTS_COMMON_TESTREGISTRY_H

#include <QCoreApplication>
#include <QObject>
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

inline int runAll(int argc, char** argv) {
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

#define ZYR_TEST_MAIN(ApplicationClass)                                                            \
    int main(int argc, char** argv) {                                                              \
        ApplicationClass application(argc, argv);                                                  \
        return TestRegistry::runAll(argc, argv);                                                   \
    }

#endif // TESTS_COMMON_TESTREGISTRY_H
