#ifndef ZYRCORE_COMMUNICATION_COMDRIVER_H
#define ZYRCORE_COMMUNICATION_COMDRIVER_H

#include "Communication/icomdriver.h"

#include <QString>

class QLoggingCategory;

namespace ZyrCore::Communication {

// Abstract base of all drivers: open flag, device state and last error.
class ZYRCORE_EXPORT ComDriver : public IComDriver {
public:
    enum ErrorCode {
        Success = 0,
        ChannelNotOpen = -1,
        TransmitFailed = -2,
        ReceiveFailed = -3,
        DataMismatch = -4,
        TransportOverflow = -5,
    };

    ComDriver() = default;
    ComDriver(const ComDriver&) = delete;
    ComDriver& operator=(const ComDriver&) = delete;

    bool isOpen() override;
    // Fetching the error also discards the partly transferred data the driver still holds.
    int lastError() override;

    virtual int deviceState();
    virtual int checkDeviceState() = 0;
    virtual void clearBuffers() = 0;
    virtual void reserved() = 0;

    static const char* errorToString(int code);

    static const char* const errorStrings[5];
    static const char* const unknownErrorCodeText;

protected:
    // Writes why the device could not be opened to category, once per change: the supervisor's
    // retries repeat an open every half second. An empty failure is a success.
    void noteOpenResult(const QLoggingCategory& category, const QString& failure);

    int itsDeviceState = 0;
    bool itsOpen = false;
    int itsLastError = 0;
    int itsDeviceStatus = 0;

private:
    QString itsOpenFailure;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMDRIVER_H
