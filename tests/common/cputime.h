#ifndef TESTS_COMMON_CPUTIME_H
#define TESTS_COMMON_CPUTIME_H

#include <QtGlobal>

#include <time.h>

// CPU time used so far by the calling thread, or by the process with CLOCK_PROCESS_CPUTIME_ID, in
// nanoseconds. A busy machine stretches wall-clock time, not this, so tests bound work with it.
inline qint64 cpuTimeNs(clockid_t clock = CLOCK_THREAD_CPUTIME_ID) {
    timespec time{};
    clock_gettime(clock, &time);
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

inline qint64 cpuTimeMs(clockid_t clock = CLOCK_THREAD_CPUTIME_ID) {
    return cpuTimeNs(clock) / 1000000;
}

#endif // TESTS_COMMON_CPUTIME_H
