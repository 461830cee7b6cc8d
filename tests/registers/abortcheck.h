#ifndef ZYRTESTS_ABORTCHECK_H
#define ZYRTESTS_ABORTCHECK_H

#include <QByteArray>

#include <cstdio>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

// Runs action in a child process; true when the child ended through the library's assertion with
// the given message.
inline bool abortsWithMessage(const std::function<void()>& action, const QByteArray& message) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        action();
        _exit(0);
    }
    close(pipeEnds[1]);
    QByteArray output;
    char chunk[512];
    ssize_t count = 0;
    while ((count = read(pipeEnds[0], chunk, sizeof chunk)) > 0)
        output.append(chunk, static_cast<int>(count));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) && output.contains("Message: " + message);
}

#endif // ZYRTESTS_ABORTCHECK_H
