#include "hid/hidcomdriver.h"

#include "Communication/comstreamformatter.h"
#include "HidDevice/hidconstants.h"
#include "HidDevice/hidlog.h"
#include "Tools/zyrassert.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace ZyrHid {

using ZyrCore::Communication::ComStreamFormatter;
using ZyrCore::Communication::ICommunicationNode;
using ZyrCore::Communication::IComStreamFormatter;

namespace {
const char* const kSource = "hid/hidcomdriver";
constexpr unsigned int kReportDataSize = HidComDriver::reportSize - 1;
constexpr unsigned int kProductStringLength = 255;
constexpr int kMaxFilterLength = 255;
} // namespace

HidComDriver::HidComDriver(const HidComDeviceInfo& info)
    : itsInfo(info)
    , itsSendBuffer(new unsigned char[reportSize])
    , itsReceiveBuffer(new unsigned char[reportSize]()) {
    itsSendBuffer[0] = 0;
    std::memset(itsSendBuffer.get() + 1, fillerByte, kReportDataSize);
    setStreamFormatter(nullptr);
    itsDevice.setTimeouts(itsReadTimeout, itsWriteTimeout);
}

HidComDriver::~HidComDriver() {
    itsDevice.close();
}

bool HidComDriver::open() {
    if (itsOpen && itsDevice.isOpen())
        return true;

    // With a path filter only a matching interface will do: taking any interface with the ids
    // would open another channel's interface. Without one, the device takes the first.
    HidDeviceInfo info(itsInfo.vendorId(), itsInfo.productId());
    if (!itsInfo.isPathEmpty() && itsInfo.path()[0] != '\0') {
        QString whyNone;
        const QList<HidComDeviceInfo> found = findDevices(
            itsInfo.vendorId(), itsInfo.productId(), QString::fromLatin1(itsInfo.path()), &whyNone);
        if (found.isEmpty()) {
            itsOpen = false;
            noteOpenResult(hidLog(), whyNone);
            return false;
        }
        info.setPath(found.first().path());
    }
    itsOpen = itsDevice.open(&info) == HID_SUCCESS;
    noteOpenResult(hidLog(), itsOpen ? QString() : itsDevice.lastErrorString());
    return itsOpen;
}

bool HidComDriver::close() {
    const bool wasOpen = itsOpen;
    itsOpen = false;
    if (itsDevice.isOpen())
        itsDevice.close();
    return wasOpen;
}

bool HidComDriver::isOpen() {
    return ComDriver::isOpen();
}

unsigned int HidComDriver::maxDataSize() {
    return itsFormatter != nullptr ? itsFormatter->getMaxDataSize()
                                   : ComStreamFormatter::maxDataSize;
}

unsigned int HidComDriver::packetRoom() const {
    return itsSettings.outputReportId == 0 ? itsMaxPayload : itsMaxPayload - 1;
}

int HidComDriver::write(unsigned char* buffer, int length) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    if (!itsOpen) {
        itsLastError = ChannelNotOpen;
        return itsLastError;
    }
    if (length < 0 || unsigned(length) > maxDataSize()) {
        itsLastError = TransportOverflow;
        return itsLastError;
    }

    const int room = int(packetRoom());
    int offset = 0;
    for (;;) {
        if (itsLastError != 0)
            return itsLastError;
        const int count = std::min(room - itsWaitingBytes, length - offset);
        if (count <= 0)
            return itsLastError;
        std::memcpy(itsSendPayload + itsWaitingBytes, buffer + offset, size_t(count));
        itsWaitingBytes += count;
        offset += count;
        if (itsWaitingBytes == room) {
            if (!itsOpen) {
                itsLastError = ChannelNotOpen;
                return itsLastError;
            }
            sendPacket();
        }
    }
}

int HidComDriver::flush() {
    if (!itsOpen) {
        itsLastError = ChannelNotOpen;
        return itsLastError;
    }
    if (itsLastError != 0)
        return itsLastError;
    if (itsWaitingBytes > 0)
        sendPacket();
    return itsLastError;
}

void HidComDriver::sendPacket() {
    itsCounter = static_cast<unsigned char>((itsCounter + 1) % counterModulus);
    if (itsFormatter != nullptr)
        itsFormatter->formatHeader(itsSendHeader, itsCounter,
                                   static_cast<unsigned char>(itsWaitingBytes), 0);
    itsSendBuffer[0] = itsSettings.outputReportId;
    itsWaitingBytes = 0;

    const unsigned int length = itsSettings.outputReportId == 0 ? reportSize : kReportDataSize;
    if (itsDevice.write(itsSendBuffer.get(), length) == HID_SUCCESS) {
        itsLastError = Success;
    } else {
        itsLastError = TransmitFailed;
        if (checkDeviceState() != devicePresent) {
            close();
            itsLastError = ChannelNotOpen;
        }
    }
    std::memset(itsSendBuffer.get() + 1, fillerByte, kReportDataSize);
}

int HidComDriver::read(unsigned char* buffer, int length) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    if (itsLastError != 0 || length <= 0)
        return itsLastError;

    // One deadline for the whole read, so reports that never complete it cannot stall it.
    const bool bounded = itsReadTimeout != HID_TIMEOUT_INFINITE;
    const Clock::time_point deadline =
        bounded ? Clock::now() + std::chrono::milliseconds(itsReadTimeout)
                : Clock::time_point::max();

    int copied = 0;
    while (copied < length) {
        if (itsUnreadBytes == 0) {
            if (!itsOpen) {
                itsLastError = ChannelNotOpen;
                return itsLastError;
            }
            receivePacket(deadline);
            if (itsLastError != 0)
                return itsLastError;
            continue;
        }
        const int count = std::min(length - copied, itsUnreadBytes);
        std::memcpy(buffer + copied, itsUnreadPayload, size_t(count));
        itsUnreadPayload += count;
        itsUnreadBytes -= count;
        copied += count;
    }
    return itsLastError;
}

void HidComDriver::receivePacket(Clock::time_point deadline) {
    const bool bounded = deadline != Clock::time_point::max();
    unsigned char* report = itsReceiveBuffer.get();
    itsUnreadBytes = 0;
    itsLastError = ReceiveFailed;
    for (;;) {
        if (bounded) {
            const auto remaining =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (remaining < qint64(HID_TIMEOUT_MIN))
                break;
            itsDevice.setTimeouts(quint32(remaining), itsWriteTimeout);
        }
        unsigned int bytesRead = 0;
        if (itsDevice.read(report, reportSize, &bytesRead) != HID_SUCCESS || bytesRead == 0)
            break;

        unsigned int position = 0;
        if (itsSettings.inputReportId != 0) {
            if (report[0] != itsSettings.inputReportId)
                break;
            position = 1;
        }
        if (itsFormatter == nullptr) {
            // Without a header there is neither counter nor length to go by.
            itsDeviceStatus = 0xFD;
            itsLastError = Success;
            break;
        }
        const unsigned int headerSize = itsFormatter->getHeaderSize();
        if (bytesRead < position + headerSize)
            break;
        unsigned char counter = 0;
        unsigned char count = 0;
        unsigned char status = 0;
        itsFormatter->parseHeader(report + position, &counter, &count, &status);
        if ((counter >> 4) != itsCounter)
            continue; // the reply to an earlier packet
        const unsigned int room =
            std::min(itsMaxPayload, std::min(bytesRead, kReportDataSize) - position - headerSize);
        if (count > room)
            break; // a count the report cannot hold
        if (status != 0)
            itsDeviceStatus = status;
        itsUnreadPayload = report + position + headerSize;
        itsUnreadBytes = count;
        itsLastError = Success;
        break;
    }
    if (bounded)
        itsDevice.setTimeouts(itsReadTimeout, itsWriteTimeout);
}

int HidComDriver::checkDeviceState() {
    if (itsDevice.isOpen() && itsOpen) {
        char16_t product[kProductStringLength] = {};
        if (itsDevice.getProductString(product, kProductStringLength)) {
            itsDeviceState = devicePresent;
            return itsDeviceState;
        }
        close();
    }
    if (!HidDevice::enumerateDevices(itsInfo.vendorId(), itsInfo.productId()).isEmpty()) {
        itsDeviceState = devicePresent;
    } else {
        itsDevice.close();
        itsDeviceState = deviceGone;
    }
    return itsDeviceState;
}

void HidComDriver::clearBuffers() {
    itsWaitingBytes = 0;
    itsUnreadBytes = 0;
}

void HidComDriver::reserved() {}

void HidComDriver::setStreamFormatter(IComStreamFormatter* formatter) {
    if (itsDevice.isOpen())
        return;
    itsFormatter = formatter;
    const unsigned int headerSize = formatter != nullptr ? formatter->getHeaderSize() : 0;
    ZYR_ASSERT(kSource, headerSize < kReportDataSize, "header leaves no room for payload");
    itsSendHeader = itsSendBuffer.get() + 1;
    itsSendPayload = itsSendHeader + headerSize;
    itsMaxPayload = kReportDataSize - headerSize;
    itsWaitingBytes = std::min(itsWaitingBytes, int(packetRoom()));
}

IComStreamFormatter* HidComDriver::streamFormatter() {
    return itsFormatter;
}

HidComDeviceInfo* HidComDriver::deviceInfo() {
    return &itsInfo;
}

bool HidComDriver::writeRaw(const char* data, qint64 length) {
    ZYR_ASSERT_NOT_NULL(kSource, data);
    if (length < 0 || length > qint64(std::numeric_limits<unsigned int>::max()))
        return false;
    return itsDevice.write(reinterpret_cast<const unsigned char*>(data), unsigned(length)) ==
           HID_SUCCESS;
}

qint64 HidComDriver::readRaw(char* data, qint64 size) {
    ZYR_ASSERT_NOT_NULL(kSource, data);
    if (size < 0 || size > qint64(std::numeric_limits<unsigned int>::max()))
        return -1;
    unsigned int bytesRead = 0;
    if (itsDevice.read(reinterpret_cast<unsigned char*>(data), unsigned(size), &bytesRead) !=
        HID_SUCCESS)
        return -1;
    return bytesRead;
}

bool HidComDriver::setNextNode(ICommunicationNode* /*node*/) {
    return true;
}

void HidComDriver::setHidDeviceSettings(const HidDeviceSettings& settings) {
    itsSettings = settings;
    itsWaitingBytes = std::min(itsWaitingBytes, int(packetRoom()));
}

HidDeviceSettings HidComDriver::hidDeviceSettings() const {
    return itsSettings;
}

void HidComDriver::setReadTimeout(quint32 timeoutMs) {
    itsDevice.setTimeouts(timeoutMs, itsWriteTimeout);
    itsReadTimeout = timeoutMs;
}

void HidComDriver::setWriteTimeout(quint32 timeoutMs) {
    itsDevice.setTimeouts(itsReadTimeout, timeoutMs);
    itsWriteTimeout = timeoutMs;
}

QList<HidComDeviceInfo> HidComDriver::findDevices(ushort vendorId, ushort productId,
                                                  QString pathFilter, QString* whyNone) {
    const QByteArray filter = pathFilter.left(kMaxFilterLength).toLatin1();
    const QList<HidDeviceInfo> devices = HidDevice::enumerateDevices(
        vendorId, productId, filter.isEmpty() ? nullptr : filter.constData(), whyNone);
    QList<HidComDeviceInfo> found;
    for (const HidDeviceInfo& device : devices) {
        HidComDeviceInfo info(device.vendorId(), device.productId());
        info.setSerialNumber(u"");
        info.setPath(device.path());
        found.append(info);
    }
    return found;
}

} // namespace ZyrHid
