#ifndef ZYRSIM_USBFRAMES_H
#define ZYRSIM_USBFRAMES_H

#include <chrono>

namespace ZyrSim {

// The full-speed USB bus runs in frames of 1 ms on a fixed grid; an interrupt endpoint moves one
// report per frame. A report handed over at `at` goes in the frame under way, unless that frame
// or a later one already carries a report (lastFrameEnd: the end of the last frame taken), and
// then in the next free one. Returns the end of the frame that carries it: a host that hands over
// its next report a little late still catches the next frame, so lateness does not add up.
std::chrono::steady_clock::time_point
reportFrameEnd(std::chrono::steady_clock::time_point at,
               std::chrono::steady_clock::time_point lastFrameEnd);

} // namespace ZyrSim

#endif // ZYRSIM_USBFRAMES_H
