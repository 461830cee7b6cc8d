// Feeds arbitrary input reports to the HID com driver under a stream: the counters, payload
// counts and statuses a device sends must never make the driver read or write out of bounds.

#include "Communication/comstream.h"
#include "Communication/comstreamformatter.h"
#include "HidDevice/hidbackend.h"
#include "HidDevice/ihidbackend.h"
#include "hid/hidcomdriver.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace ZyrCore::Communication;

namespace {

// A device whose input reports are consecutive 64-byte slices of the fuzz input (the last one
// may be shorter); writes always succeed.
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
        const size_t slice = std::min<size_t>({64, itsSize - itsPosition, length - 1});
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

private:
    const uint8_t* itsData;
    size_t itsSize;
};

class Request : public SerializableComObject {
public:
    Request(unsigned char protocol, unsigned int replySize)
        : SerializableComObject(protocol, 2, replySize, RequestAndResponse, 0) {}
    bool serialize(unsigned char* buffer, unsigned int size) override {
        if (size < 2)
            return false;
        buffer[0] = 1;
        buffer[1] = 2;
        return true;
    }
    bool deserialize(unsigned char* buffer, unsigned int size) override {
        if (size > sizeof(itsReply))
            return false;
        std::memcpy(itsReply, buffer, size);
        return true;
    }
    IComObject* clone() override { return new Request(*this); }

private:
    unsigned char itsReply[1088] = {};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBackend backend(data, size);
    ZyrHid::HidBackend::Scope scope(&backend);
    ZyrHid::HidComDeviceInfo info(1, 2);
    ZyrHid::HidComDriver driver(info);
    ComStreamFormatter formatter;
    driver.setStreamFormatter(&formatter);
    driver.setReadTimeout(1);
    if (!driver.open())
        return 0;
    ComStream stream(&driver, ComStream::theImmediateFlushPolicy);
    // Counters run 1, 2, ... so the first reports of an input can match the requests.
    Request histogram(0x01, 512);
    Request objects(0x02, 17);
    for (int round = 0; round < 3; ++round) {
        stream.execute(&histogram);
        stream.lastError();
        stream.execute(&objects);
        stream.lastError();
    }
    return 0;
}
