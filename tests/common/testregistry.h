#ifndef TESTS_COMMON_TESTREGISTRY_H
#define TESTS_COMMON_TESTREGISTRY_H

#include <QCoreApplication>
#include <QObject>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
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

// Runs every registered class with the command line's options. Arguments naming a class
// ("TestComStream") or one of its functions ("TestComStream::tracesOnlyWithSink") run only those
// classes, each with its own functions.
inline int runAll(int argc, char** argv) {
    std::vector<char*> options;
    std::vector<std::pair<std::string, std::vector<std::string>>> selected;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::string className = argument.substr(0, argument.find("::"));
        bool isClass = false;
        for (const Entry& entry : entries())
            isClass = isClass || className == entry.name;
        if (!isClass) {
            options.push_back(argv[i]);
            continue;
        }
        auto found = std::find_if(selected.begin(), selected.end(),
                                  [&](const auto& pair) { return pair.first == className; });
        if (found == selected.end())
            found = selected.insert(selected.end(), {className, {}});
        if (argument.size() > className.size())
            found->second.push_back(argument.substr(className.size() + 2));
    }

    int failures = 0;
    for (const Entry& entry : entries()) {
        std::vector<std::string> functions;
        if (!selected.empty()) {
            auto found = std::find_if(selected.begin(), selected.end(),
                                      [&](const auto& pair) { return pair.first == entry.name; });
            if (found == selected.end())
                continue;
            functions = found->second;
        }
        std::vector<char*> arguments{argv[0]};
        arguments.insert(arguments.end(), options.begin(), options.end());
        for (std::string& function : functions)
            arguments.push_back(function.data());
        std::unique_ptr<QObject> test(entry.create());
        failures += QTest::qExec(test.get(), int(arguments.size()), arguments.data());
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
