#include "usbframes.h"

#include <algorithm>

namespace ZyrSim {

std::chrono::steady_clock::time_point
reportFrameEnd(std::chrono::steady_clock::time_point at,
               std::chrono::steady_clock::time_point lastFrameEnd) {
    using std::chrono::milliseconds;
    const std::chrono::steady_clock::time_point frameStart(
        std::chrono::floor<milliseconds>(at.time_since_epoch()));
    return std::max(frameStart, lastFrameEnd) + milliseconds(1);
}

} // namespace ZyrSim
