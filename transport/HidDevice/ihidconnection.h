#ifndef ZYRHID_HIDDEVICE_IHIDCONNECTION_H
#define ZYRHID_HIDDEVICE_IHIDCONNECTION_H

#include <QtGlobal>

#include <string>

namespace ZyrHid {

// One exclusively opened HID interface of a backend. Destroying it closes the interface.
// Reports include the report-id byte in front, also for devices without report ids (then 0).
class IHidConnection {
public:
    enum class Transfer { Done, TimedOut, Failed };

    virtual ~IHidConnection() = default;

    virtual bool attributes(quint16* vendorId, quint16* productId) = 0;
    // Byte lengths of input and output reports, report-id byte included.
    virtual bool reportLengths(quint16* inputLength, quint16* outputLength) = 0;
    virtual bool productString(std::u16string* text) = 0;
    // timeoutMs may be HID_TIMEOUT_INFINITE; a transfer never outlives its call.
    virtual Transfer read(unsigned char* report, unsigned int length, quint32 timeoutMs,
                          unsigned int* transferred) = 0;
    virtual Transfer write(const unsigned char* report, unsigned int length, quint32 timeoutMs,
                           unsigned int* transferred) = 0;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_IHIDCONNECTION_H
