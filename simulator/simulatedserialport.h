#ifndef ZYRSIM_SIMULATEDSERIALPORT_H
#define ZYRSIM_SIMULATEDSERIALPORT_H

#include "Serial/serialportenumerator.h"
#include "Serial/serialportrecord.h"

#include <QByteArray>
#include <QMutex>

#include <thread>

namespace ZyrSim {

// Line settings the host gave the port, as the board sees them.
struct SerialLineCoding {
    int baudRate = 0;
    int dataBits = 0;
    int stopBits = 0;
    bool parity = false;
};

// The board's virtual COM port: a real pseudo-terminal whose slave end is listed by
// SerialPortEnumerator with the board's ids, so QSerialPort opens it like a USB CDC port.
// While plugged, the board keeps the master end open and collects whatever the host writes.
// Instances extend the enumeration in turn: destroy them in the reverse order of construction.
class SimulatedSerialPort {
public:
    static constexpr const char* manufacturer = "Orvane";
    static constexpr const char* description = "Orvane Evaluation Board Virtual COM Port";

    SimulatedSerialPort();
    ~SimulatedSerialPort();
    SimulatedSerialPort(const SimulatedSerialPort&) = delete;
    SimulatedSerialPort& operator=(const SimulatedSerialPort&) = delete;

    // Creates the pseudo-terminal and lists it; false when the system has none to give.
    bool plug();
    // Removes the port from the list and closes the pseudo-terminal under an open host.
    void unplug();
    bool isPlugged() const;

    // The listed record; empty while unplugged.
    ZyrCom::Serial::SerialPortRecord record() const;

    // Bytes to the host; false while unplugged or when the port's buffer is full.
    bool send(const QByteArray& bytes);
    // Everything the host wrote since the port was plugged.
    QByteArray received() const;
    bool tryGetLineCoding(SerialLineCoding& coding) const;

private:
    QList<ZyrCom::Serial::SerialPortRecord> listPorts() const;
    void drainMaster();

    ZyrCom::Serial::SerialPortEnumerator::Provider itsPreviousProvider;
    mutable QMutex itsMutex;
    ZyrCom::Serial::SerialPortRecord itsRecord;
    QByteArray itsReceived;
    int itsMasterFd = -1;
    int itsSlaveFd = -1;
    int itsWakeFds[2] = {-1, -1};
    std::thread itsDrainThread;
};

} // namespace ZyrSim

#endif // ZYRSIM_SIMULATEDSERIALPORT_H
