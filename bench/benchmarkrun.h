#ifndef BENCH_BENCHMARKRUN_H
#define BENCH_BENCHMARKRUN_H

#include <QSettings>
#include <QString>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include <sys/prctl.h>

// The simulated board's timing model sleeps once per report; the kernel's default slack of
// 50 us per sleep would otherwise count as transfer time.
inline void reduceTimerSlack() {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

// Windows and plots draw offscreen, so the figures do not depend on a display, and the
// programs run on a machine without one. Called before the application object is made.
inline void drawOffscreen() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Points every settings store of the program at folder: both scopes in both formats, since the
// machine-wide store (single-instance flag) is opened in the native format and the user's in INI.
inline void keepSettingsIn(const QString& folder) {
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, folder);
    }
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
