#include "HidDevice/hiddevice.h"

#include "HidDevice/hidbackend.h"
#include "HidDevice/hidopenfailure.h"
#include "HidDevice/hidpath.h"
#include "Tools/zyrassert.h"

#include <cstring>

namespace ZyrHid {

namespace {
const char* const kSource = "HidDevice/hiddevice";

using ConnectionPtr = std::unique_ptr<IHidConnection>;

// Why an interface did not open, kept unformatted: most refusals are of other devices, whose
// text nobody reads.
struct OpenFailure {
    QByteArray path;      // empty: nothing failed yet
    bool refused = false; // else the device has other ids
    int errorNumber = 0;
    QString detail;

    QString text(quint16 vendorId, quint16 productId) const {
        return refused ? HidOpenFailure::refused(path, errorNumber, detail)
                       : HidOpenFailure::otherIds(path, vendorId, productId);
    }
};

// Opens path when the device there has both ids; otherwise notes why in failure (when not null).
ConnectionPtr openMatching(const QByteArray& path, quint16 vendorId, quint16 productId,
                           OpenFailure* failure) {
    IHidBackend* backend = HidBackend::current();
    ConnectionPtr handle = backend->openExclusive(path);
    quint16 deviceVendorId = 0;
    quint16 deviceProductId = 0;
    if (handle && handle->attributes(&deviceVendorId, &deviceProductId) &&
        deviceVendorId == vendorId && deviceProductId == productId)
        return handle;
    if (failure != nullptr) {
        failure->path = path;
        failure->refused = !handle;
        if (failure->refused) {
            failure->errorNumber = backend->lastOpenError();
            failure->detail = backend->lastOpenErrorString();
        }
    }
    return nullptr;
}

// Opens each interface with both ids whose path contains pathFilter (null: any path) and hands
// it to take(path, handle) until take returns false. Returns why none opened, empty when one
// did. Other devices refuse too (on Linux every hidraw node without a rule for the user): only
// the failure of the first interface whose path names these ids says why the board cannot be
// used; without one, none is present.
template <typename Take>
QString openEachMatching(quint16 vendorId, quint16 productId, const char* pathFilter, Take take) {
    bool opened = false;
    OpenFailure first;
    QByteArray path;
    for (unsigned int index = 0; HidDevice::getDevicePath(index, &path); ++index) {
        if (pathFilter != nullptr && !path.contains(pathFilter))
            continue;
        const bool keep = first.path.isEmpty() && HidPath::namesIds(path, vendorId, productId);
        ConnectionPtr handle = openMatching(path, vendorId, productId, keep ? &first : nullptr);
        if (!handle)
            continue;
        opened = true;
        if (!take(path, std::move(handle)))
            break;
    }
    if (opened)
        return QString();
    if (!first.path.isEmpty())
        return first.text(vendorId, productId);
    return HidOpenFailure::notPresent(vendorId, productId, QByteArray(pathFilter));
}
} // namespace

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
        whyNot = openEachMatching(vendorId, productId, nullptr,
                                  [&](const QByteArray& path, ConnectionPtr opened) {
                                      handle = std::move(opened);
                                      record->setPath(path.constData());
                                      return false; // the first will do
                                  });
    } else {
        OpenFailure failure;
        handle = openMatching(QByteArray(record->path()), vendorId, productId, &failure);
        if (!handle)
            whyNot = failure.text(vendorId, productId);
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
    return openMatching(QByteArray(path), vendorId, productId, nullptr);
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

QList<HidDeviceInfo> HidDevice::enumerateDevices(quint16 vendorId, quint16 productId,
                                                 const char* pathFilter, QString* whyNone) {
    QList<HidDeviceInfo> found;
    // Each handle closes again as soon as its path is noted.
    const QString why = openEachMatching(vendorId, productId, pathFilter,
                                         [&](const QByteArray& path, ConnectionPtr) {
                                             HidDeviceInfo info(vendorId, productId);
                                             info.setPath(path.constData());
                                             found.append(info);
                                             return true;
                                         });
    if (whyNone != nullptr)
        *whyNone = why;
    return found;
}

} // namespace ZyrHid
