#ifndef BENCH_BENCHMARKRUN_H
#define BENCH_BENCHMARKRUN_H

#include <benchmark/benchmark.h>

#include <sys/prctl.h>

// The simulated board's timing model sleeps once per report; the kernel's default slack of
// 50 us per sleep would otherwise count as transfer time.
inline void reduceTimerSlack() {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

// Runs the registered benchmarks with the command line's options, for programs whose main sets
// up an application object or settings first.
inline int runBenchmarks(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#endif // BENCH_BENCHMARKRUN_H
