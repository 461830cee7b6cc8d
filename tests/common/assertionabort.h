#ifndef TESTS_COMMON_ASSERTIONABORT_H
#define TESTS_COMMON_ASSERTIONABORT_H

#include <QByteArray>
#include <QString>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace AssertionAbort {

// Runs action in a forked child and returns what it printed; aborted tells whether it ended
// through SIGABRT.
inline QByteArray runInChild(const std::function<void()>& action, bool* aborted) {
    *aborted = false;
    std::fflush(stdout);
    std::fflush(stderr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return QByteArray("pipe failed");
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        action();
        std::fflush(stdout);
        _exit(0);
    }
    close(pipeEnds[1]);
    QByteArray output;
    char chunk[512];
    ssize_t count = 0;
    while ((count = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0)
        output.append(chunk, static_cast<int>(count));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    *aborted = WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT;
    return output;
}

// Empty when action ended in the assertion abort with these three lines; otherwise what differed.
inline QString mismatch(const std::function<void()>& action, const QString& source,
                        const QString& expression, const QString& message) {
    bool aborted = false;
    const QString output = QString::fromLocal8Bit(runInChild(action, &aborted));
    if (!aborted)
        return QStringLiteral("no abort; output: ") + output;
    const QStringList expected = {QStringLiteral("Assert in: %1, line ").arg(source),
                                  QStringLiteral("Assert expression:  %1\n").arg(expression),
                                  QStringLiteral("Message: %1\n").arg(message)};
    for (const QString& line : expected) {
        if (!output.contains(line))
            return QStringLiteral("missing \"%1\" in: %2").arg(line.trimmed(), output);
    }
    return QString();
}

} // namespace AssertionAbort

// Verifies that action aborts through the library's assertion with these three printed lines.
#define ZYR_VERIFY_ASSERTION(action, source, expression, message)                                  \
    do {                                                                                           \
        const QString zyrMismatch =                                                                \
            AssertionAbort::mismatch((action), (source), (expression), (message));                 \
        QVERIFY2(zyrMismatch.isEmpty(), qPrintable(zyrMismatch));                                  \
    } while (false)

// The null-argument form: expression "<argument> != NULL", message "<argument> is Null!".
#define ZYR_VERIFY_NULL_ASSERTION(action, source, argument)                                        \
    ZYR_VERIFY_ASSERTION((action), (source), QString(argument) + QStringLiteral(" != NULL"),       \
                         QString(argument) + QStringLiteral(" is Null!"))

#endif // TESTS_COMMON_ASSERTIONABORT_H
