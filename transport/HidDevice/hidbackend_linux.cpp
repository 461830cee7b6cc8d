#include "HidDevice/hidbackend_linux.h"

#include "HidDevice/hidconstants.h"
#include "HidDevice/hidpath.h"
#include "HidDevice/hidreportdescriptor.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <hidapi.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace ZyrHid {

namespace {

// 64 data bytes behind the report-id byte, for devices that do not describe their reports.
constexpr quint16 kDefaultReportLength = 65;
constexpr size_t kMaxProductStringLength = 256;

class LinuxHidConnection : public IHidConnection {
public:
    LinuxHidConnection(hid_device* device, int lockDescriptor, const QByteArray& node)
        : itsDevice(device)
        , itsLockDescriptor(lockDescriptor) {
        readReportLengths(node);
    }

    ~LinuxHidConnection() override {
        hid_close(itsDevice);
        ::close(itsLockDescriptor); // also releases the flock
    }

    bool attributes(quint16* vendorId, quint16* productId) override {
        const hid_device_info* info = hid_get_device_info(itsDevice);
        if (info == nullptr)
            return false;
        *vendorId = info->vendor_id;
        *productId = info->product_id;
        return true;
    }

    bool reportLengths(quint16* inputLength, quint16* outputLength) override {
        *inputLength = itsInputLength;
        *outputLength = itsOutputLength;
        return true;
    }

    bool productString(std::u16string* text) override {
        wchar_t buffer[kMaxProductStringLength] = {};
        if (hid_get_product_string(itsDevice, buffer, kMaxProductStringLength) != 0)
            return false;
        *text = QString::fromWCharArray(buffer).toStdU16String();
        return true;
    }

    // hidraw delivers reports of devices without report ids without the id byte; the device
    // layer expects it in front in every case.
    Transfer read(unsigned char* report, unsigned int length, quint32 timeoutMs,
                  unsigned int* transferred) override {
        if (length == 0)
            return Transfer::Failed;
        const int milliseconds = timeoutMs == HID_TIMEOUT_INFINITE ? -1 : int(timeoutMs);
        const unsigned int offset = itsUsesReportIds ? 0 : 1;
        report[0] = 0;
        const int result =
            hid_read_timeout(itsDevice, report + offset, length - offset, milliseconds);
        if (result < 0)
            return Transfer::Failed;
        if (result == 0)
            return Transfer::TimedOut;
        *transferred = unsigned(result) + offset;
        return Transfer::Done;
    }

    // The kernel bounds an interrupt transfer's write itself; hidapi offers no time-out here.
    Transfer write(const unsigned char* report, unsigned int length, quint32 /*timeoutMs*/,
                   unsigned int* transferred) override {
        const int result = hid_write(itsDevice, report, length);
        if (result < 0)
            return Transfer::Failed;
        *transferred = unsigned(result);
        return Transfer::Done;
    }

private:
    void readReportLengths(const QByteArray& node) {
        const QString name = QFileInfo(QString::fromLocal8Bit(node)).fileName();
        QFile file(QStringLiteral("/sys/class/hidraw/%1/device/report_descriptor").arg(name));
        bool usesReportIds = false;
        quint16 inputLength = 0;
        quint16 outputLength = 0;
        if (file.open(QIODevice::ReadOnly) &&
            HidReportDescriptor::parse(file.readAll(), &usesReportIds, &inputLength,
                                       &outputLength)) {
            itsUsesReportIds = usesReportIds;
            itsInputLength = inputLength;
            itsOutputLength = outputLength;
        }
    }

    hid_device* itsDevice;
    int itsLockDescriptor;
    bool itsUsesReportIds = false;
    quint16 itsInputLength = kDefaultReportLength;
    quint16 itsOutputLength = kDefaultReportLength;
};

} // namespace

bool LinuxHidBackend::devicePath(unsigned int index, QByteArray* path) {
    if (index == 0) {
        itsPaths.clear();
        hid_device_info* list = hid_enumerate(0, 0);
        for (const hid_device_info* entry = list; entry != nullptr; entry = entry->next) {
            if (entry->path != nullptr)
                itsPaths.append(HidPath::make(entry->path, entry->vendor_id, entry->product_id,
                                              entry->interface_number));
        }
        hid_free_enumeration(list);
    }
    if (index >= static_cast<unsigned int>(itsPaths.size()))
        return false;
    *path = itsPaths[static_cast<int>(index)];
    return true;
}

std::unique_ptr<IHidConnection> LinuxHidBackend::openExclusive(const QByteArray& path) {
    const QByteArray node = HidPath::node(path);
    if (node.isEmpty())
        return refuse(ENOENT, qt_error_string(ENOENT));
    const int lockDescriptor = ::open(node.constData(), O_RDONLY | O_CLOEXEC);
    if (lockDescriptor < 0) {
        const int error = errno;
        return refuse(error, qt_error_string(error));
    }
    if (::flock(lockDescriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(lockDescriptor);
        if (error == EWOULDBLOCK)
            return refuse(EBUSY, QStringLiteral("held open by another program"));
        return refuse(error, qt_error_string(error));
    }
    errno = 0;
    hid_device* device = hid_open_path(node.constData());
    if (device == nullptr) {
        const int error = errno;
        ::close(lockDescriptor);
        // hidapi keeps its own text of the last failure.
        const wchar_t* text = hid_error(nullptr);
        return refuse(error,
                      text != nullptr ? QString::fromWCharArray(text) : qt_error_string(error));
    }
    itsLastOpenError = 0;
    itsLastOpenErrorString.clear();
    return std::make_unique<LinuxHidConnection>(device, lockDescriptor, node);
}

std::unique_ptr<IHidConnection> LinuxHidBackend::refuse(int errorNumber, const QString& text) {
    itsLastOpenError = errorNumber;
    itsLastOpenErrorString = text;
    return nullptr;
}

} // namespace ZyrHid
