#ifndef ZYRTRANSPORT_SERIAL_SERIALPORTNUMBER_H
#define ZYRTRANSPORT_SERIAL_SERIALPORTNUMBER_H

#include <QString>
#include <QtGlobal>

namespace ZyrCom::Serial {

// Windows names: every "COM" removed, the rest read as a signed 16-bit decimal ("COM7" is 7).
bool tryGetComPortNumber(const QString& portName, quint16& number);

// Device-node names: the trailing decimal digits ("ttyACM0" is 0, "pts/12" is 12).
bool tryGetTrailingPortNumber(const QString& portName, quint16& number);

// The rule of this platform; a port without a number is not listed.
bool tryGetPortNumber(const QString& portName, quint16& number);

} // namespace ZyrCom::Serial

#endif // ZYRTRANSPORT_SERIAL_SERIALPORTNUMBER_H
