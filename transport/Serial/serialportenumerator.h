#ifndef ZYRTRANSPORT_SERIAL_SERIALPORTENUMERATOR_H
#define ZYRTRANSPORT_SERIAL_SERIALPORTENUMERATOR_H

#include "Serial/serialportrecord.h"

#include <QList>

#include <functional>

namespace ZyrCom::Serial {

// The one place where serial ports are listed. By default it lists the system's ports; a
// simulated board or a test installs a provider of its own. Use it from one thread.
class SerialPortEnumerator {
public:
    using Provider = std::function<QList<SerialPortRecord>()>;

    // The ports of the current provider, in its order.
    static QList<SerialPortRecord> availablePorts();

    // A null provider restores the system's ports.
    static void setProvider(Provider provider);
    // The current provider, never null, so a new provider can extend it.
    static Provider provider();

    static QList<SerialPortRecord> systemPorts();
};

} // namespace ZyrCom::Serial

#endif // ZYRTRANSPORT_SERIAL_SERIALPORTENUMERATOR_H
