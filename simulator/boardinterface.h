#ifndef ZYRSIM_BOARDINTERFACE_H
#define ZYRSIM_BOARDINTERFACE_H

namespace ZyrSim {

// The evaluation board's HID interfaces: control on USB interface 3, module on interface 4.
enum class BoardInterface { Control = 0, Module = 1 };

constexpr int boardInterfaceCount = 2;

constexpr int usbInterfaceNumber(BoardInterface which) {
    return which == BoardInterface::Control ? 3 : 4;
}

} // namespace ZyrSim

#endif // ZYRSIM_BOARDINTERFACE_H
