#ifndef TESTS_HID_FAKEHIDBACKEND_H
#define TESTS_HID_FAKEHIDBACKEND_H

#include "HidDevice/ihidbackend.h"
#include "boardids.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>

// A scripted HID layer: devices listed by index, reads served from a script, writes recorded.
class FakeHidBackend : public ZyrHid::IHidBackend {
public:
    using Transfer = ZyrHid::IHidConnection::Transfer;

    struct Device {
        QByteArray path;
        quint16 vendorId = ZyrHid::BoardIds::vendorId;
        quint16 productId = ZyrHid::BoardIds::productId;
        quint16 inputLength = 65;
        quint16 outputLength = 65;
        bool heldElsewhere = false;
        bool attributesFail = false;
        bool lengthsFail = false;
        bool open = false;
    };

    struct ScriptedRead {
        Transfer result;
        QByteArray report;
    };

    QList<Device> devices;
    std::deque<ScriptedRead> reads;
    // Serves reads once the script is used up; unset: time-out.
    std::function<ScriptedRead()> readSource;

    QList<unsigned int> queriedIndexes;
    QList<QByteArray> writes;
    QList<quint32> readTimeouts; // one for each read
    int openCalls = 0;

    Device& addDevice(const QByteArray& path) {
        Device device;
        device.path = path;
        devices.append(device);
        return devices.last();
    }

    bool devicePath(unsigned int index, QByteArray* path) override {
        queriedIndexes.append(index);
        if (index >= unsigned(devices.size()))
            return false;
        *path = devices[int(index)].path;
        return true;
    }

    std::unique_ptr<ZyrHid::IHidConnection> openExclusive(const QByteArray& path) override {
        itsLastOpenError = ENOENT;
        for (int index = 0; index < devices.size(); ++index) {
            Device& device = devices[index];
            if (device.path != path)
                continue;
            if (device.heldElsewhere || device.open) {
                itsLastOpenError = EBUSY;
                continue;
            }
            ++openCalls;
            device.open = true;
            itsLastOpenError = 0;
            return std::make_unique<Connection>(this, index);
        }
        return nullptr;
    }
    int lastOpenError() const override { return itsLastOpenError; }
    QString lastOpenErrorString() const override {
        return itsLastOpenError != 0 ? qt_error_string(itsLastOpenError) : QString();
    }

private:
    int itsLastOpenError = 0;

    class Connection : public ZyrHid::IHidConnection {
    public:
        Connection(FakeHidBackend* backend, int index)
            : itsBackend(backend)
            , itsIndex(index) {}
        ~Connection() override { device().open = false; }

        bool attributes(quint16* vendorId, quint16* productId) override {
            if (device().attributesFail)
                return false;
            *vendorId = device().vendorId;
            *productId = device().productId;
            return true;
        }
        bool reportLengths(quint16* inputLength, quint16* outputLength) override {
            if (device().lengthsFail)
                return false;
            *inputLength = device().inputLength;
            *outputLength = device().outputLength;
            return true;
        }
        bool productString(std::u16string* text) override {
            *text = u"Fake board";
            return true;
        }
        Transfer read(unsigned char* report, unsigned int length, quint32 timeoutMs,
                      unsigned int* transferred) override {
            itsBackend->readTimeouts.append(timeoutMs);
            ScriptedRead next{Transfer::TimedOut, QByteArray()};
            if (!itsBackend->reads.empty()) {
                next = itsBackend->reads.front();
                itsBackend->reads.pop_front();
            } else if (itsBackend->readSource) {
                next = itsBackend->readSource();
            }
            if (next.result == Transfer::Done) {
                const unsigned int count = std::min(length, unsigned(next.report.size()));
                std::memcpy(report, next.report.constData(), count);
                *transferred = count;
            }
            return next.result;
        }
        Transfer write(const unsigned char* report, unsigned int length, quint32 /*timeoutMs*/,
                       unsigned int* transferred) override {
            itsBackend->writes.append(
                QByteArray(reinterpret_cast<const char*>(report), int(length)));
            *transferred = length;
            return Transfer::Done;
        }

    private:
        Device& device() { return itsBackend->devices[itsIndex]; }

        FakeHidBackend* itsBackend;
        int itsIndex;
    };
};

// An input report as the platform delivers it: report id 0, counter nibble, count, status,
// payload, zero padding to 65 bytes; cut to `size` bytes when given.
inline QByteArray replyReport(unsigned char counter, unsigned char count, unsigned char status,
                              const QByteArray& payload, int size = 65) {
    const QByteArray report =
        QByteArray(1, '\0') + char(counter << 4) + char(count) + char(status) + payload;
    return report.leftJustified(65, '\0', true).left(size);
}

#endif // TESTS_HID_FAKEHIDBACKEND_H
