#ifndef ZYRTRANSPORT_SERIAL_SERIALCOMDRIVER_H
#define ZYRTRANSPORT_SERIAL_SERIALCOMDRIVER_H

#include "Communication/comdriver.h"
#include "Communication/icommunicationnode.h"
#include "Serial/serialcomdeviceinfo.h"

#include <QList>

#include <memory>

class QSerialPort;

namespace ZyrCom::Serial {

// A driver over a serial port, found by its USB ids, manufacturer and description and opened at
// 19200 baud 8N2. It moves raw bytes only (writeRaw, readRaw); it carries no stream frames.
class SerialComDriver : public ZyrCore::Communication::ComDriver,
                        public virtual ZyrCore::Communication::ICommunicationNode {
public:
    explicit SerialComDriver(const SerialComDeviceInfo& info);
    ~SerialComDriver() override;

    bool open() override;
    bool close() override;
    bool isOpen() override;

    // Stream operations: not implemented, calling them is a programming error.
    int flush() override;
    int write(unsigned char* buffer, int size) override;
    int read(unsigned char* buffer, int size) override;
    int checkDeviceState() override;
    void reserved() override;

    // Nothing is buffered beyond the port itself, so there is nothing to drop: fetching the last
    // error must not lose received bytes.
    void clearBuffers() override;

    virtual void setDeviceInfo(const SerialComDeviceInfo& info);
    virtual SerialComDeviceInfo deviceInfo();

    // Returns the count written, or -2 (also stored as the last error).
    virtual qint64 writeRaw(const char* data, qint64 length);
    // Returns the count read (0 when nothing came and waiting is off), or -3 (also stored).
    virtual qint64 readRaw(char* data, qint64 size);

    virtual void setWaitForData(bool waitForData);
    virtual bool waitForData();
    virtual void setTimeout(uint ms);
    virtual uint timeout();

    bool setNextNode(ZyrCore::Communication::ICommunicationNode* node) override;

    // Ports whose name carries a number and that match filter (all of them when filter is null).
    static QList<SerialComDeviceInfo> findDevices(const SerialComDeviceInfo* filter);

    static constexpr qint32 baudRate = 19200;
    static constexpr uint defaultTimeout = 30000;

private:
    int timeoutForQt() const;
    qint64 failTransfer(int error);

    SerialComDeviceInfo itsDeviceInfo;
    std::unique_ptr<QSerialPort> itsPort;
    bool itsWaitForData = true;
    uint itsTimeout = defaultTimeout;
};

} // namespace ZyrCom::Serial

#endif // ZYRTRANSPORT_SERIAL_SERIALCOMDRIVER_H
