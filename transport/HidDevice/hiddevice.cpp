#include "HidDevice/hiddevice.h"

#include "HidDevice/hidbackend.h"
#include "HidDevice/hidopenfailure.h"
#include "HidDevice/hidpath.h"
#include "Tools/zyrassert.h"

#include <cstring>

namespace ZyrHid {

namespace {
const char* const kSource = "HidDevice/hiddevice";
}

HidDevice::HidDevice() {
    reset();
}

HidDevice::~HidDevice() {
    close();
}

int HidDevice::open(HidDeviceInfo* info) {
    if (isOpen())
        return HID_ERROR_ALREADY_OPEN;
    if (info == nullptr)
        return HID_ERROR_NOT_OPEN;

    auto record = std::make_unique<HidDeviceInfo>(*info);
    const quint16 vendorId = record->vendorId();
    const quint16 productId = record->productId();
    std::unique_ptr<IHidConnection> handle;
    QString whyNot;
    if (record->isPathEmpty()) {
        QByteArray path;
        for (unsigned int index = 0; !handle && getDevicePath(index, &path); ++index) {
            QString refusal;
            handle = openMatching(path, vendorId, productId, &refusal);
            if (handle)
                record->setPath(path.constData());
            else if (whyNot.isEmpty() && HidPath::namesIds(path, vendorId, productId))
                whyNot = refusal;
        }
        if (!handle && whyNot.isEmpty())
            whyNot = HidOpenFailure::notPresent(vendorId, productId, QByteArray());
    } else {
        handle = openMatching(QByteArray(record->path()), vendorId, productId, &whyNot);
    }

    quint16 inputLength = 0;
    quint16 outputLength = 0;
    if (handle && (!handle->reportLengths(&inputLength, &outputLength) || inputLength == 0 ||
                   outputLength == 0)) {
        whyNot = HidOpenFailure::noReportLengths(QByteArray(record->path()));
        handle.reset();
    }
    if (!handle) {
        reset();
        itsLastErrorString = whyNot;
        return HID_ERROR_NOT_OPEN;
    }

    itsInputReportLength = inputLength;
    itsOutputReportLength = outputLength;
    itsHandle = std::move(handle);
    itsInfo = std::move(record);
    itsLastErrorString.clear();
    return HID_SUCCESS;
}

bool HidDevice::isOpen() {
    return itsHandle != nullptr;
}

int HidDevice::close() {
    const int result = isOpen() ? HID_SUCCESS : HID_ERROR_NOT_OPEN;
    reset();
    return result;
}

int HidDevice::write(const unsigned char* buffer, unsigned int length) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    if (length > itsOutputReportLength)
        return HID_ERROR_BUFFER_SIZE;
    if (!isOpen())
        return HID_ERROR_NOT_OPEN;
    unsigned int transferred = 0;
    return transferResult(itsHandle->write(buffer, length, itsWriteTimeout, &transferred));
}

int HidDevice::read(unsigned char* buffer, unsigned int bufferSize, unsigned int* bytesRead) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    if (itsInputReportLength > bufferSize)
        return HID_ERROR_BUFFER_SIZE;
    std::memset(buffer, 0, bufferSize);
    if (!isOpen())
        return HID_ERROR_NOT_OPEN;

    unsigned int transferred = 0;
    const int result =
        transferResult(itsHandle->read(buffer, itsInputReportLength, itsReadTimeout, &transferred));
    if (result != HID_SUCCESS)
        return result;
    transferred = std::min<unsigned int>(transferred, itsInputReportLength);
    const unsigned int dataBytes = transferred > 0 ? transferred - 1 : 0;
    std::memmove(buffer, buffer + 1, dataBytes);
    if (transferred > 0)
        buffer[dataBytes] = 0; // the byte the move vacated
    if (bytesRead != nullptr)
        *bytesRead = dataBytes;
    return HID_SUCCESS;
}

bool HidDevice::getProductString(char16_t* string, unsigned int length) {
    ZYR_ASSERT_NOT_NULL(kSource, string);
    std::u16string text;
    if (!isOpen() || length == 0 || !itsHandle->productString(&text))
        return false;
    const size_t count = std::min<size_t>(text.size(), length - 1);
    std::memcpy(string, text.data(), count * sizeof(char16_t));
    string[count] = u'\0';
    return true;
}

int HidDevice::reset() {
    HidDeviceBase::reset();
    itsHandle.reset();
    itsInputReportLength = 0;
    itsOutputReportLength = 0;
    return HID_SUCCESS;
}

int HidDevice::transferResult(IHidConnection::Transfer transfer) const {
    switch (transfer) {
    case IHidConnection::Transfer::Done:
        return HID_SUCCESS;
    case IHidConnection::Transfer::TimedOut:
        return HID_ERROR_TIMEOUT;
    case IHidConnection::Transfer::Failed:
        break;
    }
    return HID_ERROR_IO;
}

bool HidDevice::getDevicePath(unsigned int index, QByteArray* path) {
    ZYR_ASSERT_NOT_NULL(kSource, path);
    if (index >= HID_MAX_DEVICE_INDEX)
        return false;
    return HidBackend::current()->devicePath(index, path);
}

std::unique_ptr<IHidConnection> HidDevice::openDevice(const char* path) {
    ZYR_ASSERT_NOT_NULL(kSource, path);
    return HidBackend::current()->openExclusive(QByteArray(path));
}

std::unique_ptr<IHidConnection> HidDevice::openDevice(const char* path, quint16 vendorId,
                                                      quint16 productId) {
    ZYR_ASSERT_NOT_NULL(kSource, path);
    QString whyNot;
    return openMatching(QByteArray(path), vendorId, productId, &whyNot);
}

std::unique_ptr<IHidConnection> HidDevice::openMatching(const QByteArray& path, quint16 vendorId,
                                                        quint16 productId, QString* whyNot) {
    IHidBackend* backend = HidBackend::current();
    std::unique_ptr<IHidConnection> handle = backend->openExclusive(path);
    if (!handle) {
        *whyNot =
            HidOpenFailure::refused(path, backend->lastOpenError(), backend->lastOpenErrorString());
        return nullptr;
    }
    quint16 deviceVendorId = 0;
    quint16 deviceProductId = 0;
    if (handle->attributes(&deviceVendorId, &deviceProductId) && deviceVendorId == vendorId &&
        deviceProductId == productId)
        return handle;
    *whyNot = HidOpenFailure::otherIds(path, vendorId, productId);
    return nullptr;
}

QList<HidDeviceInfo> HidDevice::enumerateAll(bool byVendor, quint16 vendorId) {
    QList<HidDeviceInfo> found;
    QByteArray path;
    for (unsigned int index = 0; getDevicePath(index, &path); ++index) {
        std::unique_ptr<IHidConnection> handle = openDevice(path.constData());
        quint16 deviceVendorId = 0;
        quint16 deviceProductId = 0;
        if (!handle || !handle->attributes(&deviceVendorId, &deviceProductId))
            continue;
        if (byVendor && deviceVendorId != vendorId)
            continue;
        HidDeviceInfo info(deviceVendorId, deviceProductId);
        info.setPath(path.constData());
        found.append(info);
    }
    return found;
}

QList<HidDeviceInfo> HidDevice::enumerateDevices() {
    return enumerateAll(false, 0);
}

QList<HidDeviceInfo> HidDevice::enumerateDevices(quint16 vendorId) {
    return enumerateAll(true, vendorId);
}

QList<HidDeviceInfo> HidDevice::enumerateDevices(quint16 vendorId, quint16 productId) {
    return enumerateDevices(vendorId, productId, nullptr);
}

QList<HidDeviceInfo> HidDevice::enumerateDevices(quint16 vendorId, quint16 productId,
                                                 const char* pathFilter) {
    QString whyNone;
    return enumerateDevices(vendorId, productId, pathFilter, &whyNone);
}

QList<HidDeviceInfo> HidDevice::enumerateDevices(quint16 vendorId, quint16 productId,
                                                 const char* pathFilter, QString* whyNone) {
    ZYR_ASSERT_NOT_NULL(kSource, whyNone);
    QList<HidDeviceInfo> found;
    QString refusal;
    QByteArray path;
    for (unsigned int index = 0; getDevicePath(index, &path); ++index) {
        if (pathFilter != nullptr && !path.contains(pathFilter))
            continue;
        QString whyNot;
        // The handle closes again at the end of the statement.
        if (!openMatching(path, vendorId, productId, &whyNot)) {
            // Other devices refuse too (on Linux every hidraw node without a rule for the user):
            // only a refusal of an interface with these ids says why the board cannot be used.
            if (refusal.isEmpty() && HidPath::namesIds(path, vendorId, productId))
                refusal = whyNot;
            continue;
        }
        HidDeviceInfo info(vendorId, productId);
        info.setPath(path.constData());
        found.append(info);
    }
    whyNone->clear();
    if (found.isEmpty())
        *whyNone = !refusal.isEmpty()
                       ? refusal
                       : HidOpenFailure::notPresent(vendorId, productId, QByteArray(pathFilter));
    return found;
}

} // namespace ZyrHid
