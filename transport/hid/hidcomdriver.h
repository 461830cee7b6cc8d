#ifndef ZYRHID_HID_HIDCOMDRIVER_H
#define ZYRHID_HID_HIDCOMDRIVER_H

#include "Communication/comdriver.h"
#include "Communication/icommunicationnode.h"
#include "Communication/icomstreamformatter.h"
#include "HidDevice/hidcomdeviceinfo.h"
#include "HidDevice/hiddevice.h"
#include "HidDevice/hiddevicesettings.h"

#include <QList>
#include <QString>

#include <chrono>
#include <memory>

namespace ZyrHid {

// Carries a framed stream over one HID interface. The stream's bytes go out in 65-byte reports
// (report id, counter, payload count, status 0, up to 61 payload bytes, 0xCB filler); the counter
// runs 1..14, 0, 1, ... and a reply report is accepted only when the high nibble of its first
// byte carries the counter of the last report sent. A whole read, however many reports it spans,
// waits at most the read time-out.
class HidComDriver : public ZyrCore::Communication::ComDriver,
                     public virtual ZyrCore::Communication::ICommunicationNode {
public:
    static constexpr unsigned int reportSize = 65;
    static constexpr quint32 defaultTimeout = 1500;
    static constexpr unsigned char fillerByte = 0xCB;
    static constexpr unsigned char counterModulus = 15;
    static constexpr int devicePresent = 4;
    static constexpr int deviceGone = 2;

    explicit HidComDriver(const HidComDeviceInfo& info);
    HidComDriver(const HidComDriver&) = delete;
    HidComDriver& operator=(const HidComDriver&) = delete;
    ~HidComDriver() override;

    // True at once when already open.
    bool open() override;
    bool close() override;
    bool isOpen() override;
    int flush() override;
    int write(unsigned char* buffer, int length) override;
    int read(unsigned char* buffer, int length) override;
    int checkDeviceState() override;
    void clearBuffers() override;
    void reserved() override;

    // Ignored while the device is open.
    virtual void setStreamFormatter(ZyrCore::Communication::IComStreamFormatter* formatter);
    virtual ZyrCore::Communication::IComStreamFormatter* streamFormatter();
    virtual HidComDeviceInfo* deviceInfo();
    // One report as given, report id first; true when the device took it.
    virtual bool writeRaw(const char* data, qint64 length);
    // One report without its report id; the byte count, or -1 when the read failed.
    virtual qint64 readRaw(char* data, qint64 size);
    // A leaf: the node is ignored.
    bool setNextNode(ZyrCore::Communication::ICommunicationNode* node) override;

    void setHidDeviceSettings(const HidDeviceSettings& settings);
    HidDeviceSettings hidDeviceSettings() const;
    quint32 readTimeout() const { return itsReadTimeout; }
    quint32 writeTimeout() const { return itsWriteTimeout; }
    void setReadTimeout(quint32 timeoutMs);
    void setWriteTimeout(quint32 timeoutMs);

    // Interfaces with these ids whose path contains pathFilter (empty: any path). When nothing
    // is found, whyNone (when not null) says why (see HidDevice::enumerateDevices).
    static QList<HidComDeviceInfo> findDevices(ushort vendorId, ushort productId,
                                               QString pathFilter, QString* whyNone = nullptr);

private:
    using Clock = std::chrono::steady_clock;

    void sendPacket();
    void receivePacket(Clock::time_point deadline);
    unsigned int maxDataSize();
    // Payload room of one output report: one byte less when a report id precedes the packet
    // in a 64-byte report.
    unsigned int packetRoom() const;

    HidComDeviceInfo itsInfo;
    HidDeviceSettings itsSettings{0, 0};
    ZyrCore::Communication::IComStreamFormatter* itsFormatter = nullptr;
    std::unique_ptr<unsigned char[]> itsSendBuffer;
    unsigned char* itsSendHeader;
    unsigned char* itsSendPayload;
    int itsWaitingBytes = 0;
    std::unique_ptr<unsigned char[]> itsReceiveBuffer;
    const unsigned char* itsUnreadPayload = nullptr;
    int itsUnreadBytes = 0;
    unsigned char itsCounter = 0;
    quint32 itsReadTimeout = defaultTimeout;
    quint32 itsWriteTimeout = defaultTimeout;
    unsigned int itsMaxPayload = reportSize - 1;
    HidDevice itsDevice;
};

} // namespace ZyrHid

#endif // ZYRHID_HID_HIDCOMDRIVER_H
