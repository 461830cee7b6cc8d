// The simulator's configuration text comes from the command line: any text must be either
// accepted or refused with a message, never crash, and an accepted one must read back the same.

#include "simulatorconfig.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    ZyrSim::SimulatorConfig config;
    QString error;
    if (!ZyrSim::SimulatorConfig::parse(text, &config, &error)) {
        if (error.isEmpty())
            std::abort(); // refused without saying why
        return 0;
    }
    ZyrSim::SimulatorConfig reread;
    if (!ZyrSim::SimulatorConfig::parse(config.toString(), &reread, &error) ||
        reread.toString() != config.toString())
        std::abort();
    return 0;
}
