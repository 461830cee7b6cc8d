#ifndef ZYRAPP_CALIBRATION_H
#define ZYRAPP_CALIBRATION_H

#include <QtGlobal>

class GetCalibrationDataCommand;

namespace ZyrCore::Communication {
class ComStream;
}

// Making or clearing a calibration takes the sensor seconds; the module channel's HID time-outs
// are raised to this for the one command.
constexpr quint32 calibrationTimeoutMs = 8000;

// Runs a calibration command on the module stream, judged by the one exchange rule. A new or
// cleared calibration shows the wait cursor and raises the HID driver's read and write
// time-outs to calibrationTimeoutMs; both are back as they were when this returns, whatever
// the outcome. A null or closed stream, or one whose driver is not a HID driver, sends nothing
// and fails.
bool executeCalibration(ZyrCore::Communication::ComStream* stream,
                        GetCalibrationDataCommand& command);

#endif // ZYRAPP_CALIBRATION_H
