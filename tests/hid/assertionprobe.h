#ifndef TESTS_HID_ASSERTIONPROBE_H
#define TESTS_HID_ASSERTIONPROBE_H

#include <QByteArray>

#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// Runs action in a child process; true when it stopped with an assertion. Its standard error
// and output are returned in output.
inline bool endsInAssertion(const std::function<void()>& action, QByteArray* output) {
    std::fflush(stdout);
    std::fflush(stderr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDERR_FILENO);
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        action();
        std::fflush(stdout);
        _exit(0);
    }
    close(pipeEnds[1]);
    char chunk[512];
    ssize_t count = 0;
    while ((count = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0)
        output->append(chunk, int(count));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT;
}

#endif // TESTS_HID_ASSERTIONPROBE_H
