// Feeds arbitrary input reports to the HID com driver and reads them back in reads of fuzzed
// lengths. Whatever the counters, payload counts and statuses, the driver must stay in bounds,
// and every read it reports as complete must deliver exactly the next bytes of the reports that
// answer the last packet sent: nothing skipped, repeated or taken from a stale report.
//
// Input: one byte with the number of reads (low four bits, plus one), two bytes per read
// (little-endian; bit 15 sends a new request first, the rest modulo 1200 is the length), then
// the device's input reports as consecutive 64-byte slices (the last one may be shorter).

#include "Communication/comstreamformatter.h"
#include "HidDevice/hidbackend.h"
#include "HidDevice/ihidbackend.h"
#include "hid/hidcomdriver.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

namespace {

constexpr size_t kReportData = 64;

// A device whose input reports are consecutive slices of the given bytes; writes always succeed.
class FuzzConnection : public ZyrHid::IHidConnection {
public:
    FuzzConnection(const uint8_t* data, size_t size)
        : itsData(data)
        , itsSize(size) {}
    bool attributes(quint16* vendorId, quint16* productId) override {
        *vendorId = 1;
        *productId = 2;
        return true;
    }
    bool reportLengths(quint16* inputLength, quint16* outputLength) override {
        *inputLength = 65;
        *outputLength = 65;
        return true;
    }
    bool productString(std::u16string* text) override {
        *text = u"fuzz";
        return true;
    }
    Transfer read(unsigned char* report, unsigned int length, quint32,
                  unsigned int* transferred) override {
        if (itsPosition >= itsSize)
            return Transfer::TimedOut;
        const size_t slice = std::min<size_t>({kReportData, itsSize - itsPosition, length - 1});
        report[0] = 0;
        std::memcpy(report + 1, itsData + itsPosition, slice);
        itsPosition += slice;
        *transferred = static_cast<unsigned int>(slice + 1);
        return Transfer::Done;
    }
    Transfer write(const unsigned char*, unsigned int length, quint32,
                   unsigned int* transferred) override {
        *transferred = length;
        return Transfer::Done;
    }

private:
    const uint8_t* itsData;
    size_t itsSize;
    size_t itsPosition = 0;
};

class FuzzBackend : public ZyrHid::IHidBackend {
public:
    FuzzBackend(const uint8_t* data, size_t size)
        : itsData(data)
        , itsSize(size) {}
    bool devicePath(unsigned int index, QByteArray* path) override {
        if (index != 0)
            return false;
        *path = "fuzz#mi_04";
        return true;
    }
    std::unique_ptr<ZyrHid::IHidConnection> openExclusive(const QByteArray&) override {
        return std::make_unique<FuzzConnection>(itsData, itsSize);
    }
    int lastOpenError() const override { return 0; } // it never refuses
    QString lastOpenErrorString() const override { return QString(); }

private:
    const uint8_t* itsData;
    size_t itsSize;
};

// What the reports should yield: a report counts when the high nibble of its first byte is the
// counter of the last packet sent, and then gives the payload count of its second byte, which
// must fit the report's 61 payload bytes; any other report is skipped.
class ReplyModel {
public:
    ReplyModel(const uint8_t* data, size_t size)
        : itsData(data)
        , itsSize(size) {}

    void requestSent() { itsCounter = static_cast<uint8_t>((itsCounter + 1) % 15); }
    void errorFetched() { itsUnread.clear(); }

    // The bytes a read of length gives, or false when the read must fail.
    bool read(size_t length, std::vector<uint8_t>* bytes) {
        bytes->clear();
        while (bytes->size() < length) {
            if (itsUnread.empty() && !takeReport())
                return false;
            const size_t count = std::min(length - bytes->size(), itsUnread.size());
            bytes->insert(bytes->end(), itsUnread.begin(), itsUnread.begin() + long(count));
            itsUnread.erase(itsUnread.begin(), itsUnread.begin() + long(count));
        }
        return true;
    }

private:
    bool takeReport() {
        for (;;) {
            if (itsPosition >= itsSize)
                return false;
            const uint8_t* report = itsData + itsPosition;
            const size_t length = std::min(kReportData, itsSize - itsPosition);
            itsPosition += length;
            if (length < 3)
                return false;
            if ((report[0] >> 4) != itsCounter)
                continue;
            if (report[1] > std::min<size_t>(61, length - 3))
                return false;
            itsUnread.insert(itsUnread.end(), report + 3, report + 3 + report[1]);
            return true;
        }
    }

    const uint8_t* itsData;
    size_t itsSize;
    size_t itsPosition = 0;
    uint8_t itsCounter = 0;
    std::deque<uint8_t> itsUnread;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const size_t reads = (data[0] & 0x0F) + 1u;
    const size_t planSize = 1 + 2 * reads;
    if (size < planSize)
        return 0;
    const uint8_t* reports = data + planSize;
    const size_t reportBytes = size - planSize;

    FuzzBackend backend(reports, reportBytes);
    ZyrHid::HidBackend::Scope scope(&backend);
    ZyrHid::HidComDriver driver(ZyrHid::HidComDeviceInfo(1, 2));
    ZyrCore::Communication::ComStreamFormatter formatter;
    driver.setStreamFormatter(&formatter);
    // The device never makes a read wait, so only a run that stalls for a second times out.
    driver.setReadTimeout(1000);
    if (!driver.open())
        std::abort();

    ReplyModel model(reports, reportBytes);
    unsigned char request = 0x01;
    bool sendRequest = true;
    std::vector<uint8_t> expected;
    std::vector<uint8_t> buffer;
    for (size_t i = 0; i < reads; ++i) {
        const unsigned int plan = data[1 + 2 * i] | (unsigned(data[2 + 2 * i]) << 8);
        const size_t length = (plan & 0x7FFF) % 1200;
        if (sendRequest || (plan & 0x8000) != 0) {
            if (driver.write(&request, 1) != 0 || driver.flush() != 0)
                std::abort();
            model.requestSent();
        }
        buffer.assign(length + 1, 0);
        const int result = driver.read(buffer.data(), int(length));
        const bool complete = model.read(length, &expected);
        if ((result == 0) != complete)
            std::abort();
        if (complete && !std::equal(expected.begin(), expected.end(), buffer.begin()))
            std::abort();
        sendRequest = !complete;
        if (!complete) {
            driver.lastError();
            model.errorFetched();
        }
    }
    return 0;
}
