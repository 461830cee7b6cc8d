#ifndef ZYRAPP_PLOTS_PLOTCLOCK_H
#define ZYRAPP_PLOTS_PLOTCLOCK_H

#include <QtGlobal>

#include <chrono>
#include <functional>

// Milliseconds on a monotonic scale. The plots pace themselves by it; tests hand in their own.
using PlotClock = std::function<qint64()>;

inline PlotClock monotonicPlotClock() {
    return [] {
        const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<qint64>(
            std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
    };
}

#endif // ZYRAPP_PLOTS_PLOTCLOCK_H
