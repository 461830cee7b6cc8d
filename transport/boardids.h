#ifndef ZYRTRANSPORT_BOARDIDS_H
#define ZYRTRANSPORT_BOARDIDS_H

#include <QtGlobal>

namespace ZyrHid::BoardIds {

// USB vendor and product id of the evaluation board. Change them here only; the udev rule
// HidDevice/99-zyr-evalboard.rules carries the same pair.
constexpr quint16 vendorId = 0x16D0;
constexpr quint16 productId = 0x4D58;

// The board's two HID interfaces, selected by the interface token of their device paths.
constexpr const char* controlInterfaceFilter = "mi_03";
constexpr const char* moduleInterfaceFilter = "mi_04";

} // namespace ZyrHid::BoardIds

#endif // ZYRTRANSPORT_BOARDIDS_H
