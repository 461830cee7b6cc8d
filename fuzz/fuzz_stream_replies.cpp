// Feeds arbitrary device bytes to ComStream as the replies of a few requests: whatever the
// device sends, the stream must neither crash nor read out of bounds.

#include "Communication/comstream.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace ZyrCore::Communication;

namespace {

class ReplayDriver : public ComDriver {
public:
    ReplayDriver(const uint8_t* data, size_t size)
        : itsData(data)
        , itsSize(size) {}
    bool open() override { return itsOpen = true; }
    bool close() override { return !(itsOpen = false); }
    int flush() override { return 0; }
    int write(unsigned char*, int) override { return 0; }
    int read(unsigned char* buffer, int size) override {
        if (size < 0 || itsPosition + static_cast<size_t>(size) > itsSize)
            return itsLastError = ReceiveFailed;
        std::memcpy(buffer, itsData + itsPosition, static_cast<size_t>(size));
        itsPosition += static_cast<size_t>(size);
        return 0;
    }
    int checkDeviceState() override { return 4; }
    void clearBuffers() override {}
    void reserved() override {}

private:
    const uint8_t* itsData;
    size_t itsSize;
    size_t itsPosition = 0;
};

class Request : public SerializableComObject {
public:
    Request(unsigned char protocol, unsigned int replySize)
        : SerializableComObject(protocol, 1, replySize, RequestAndResponse, 0) {}
    bool serialize(unsigned char* buffer, unsigned int size) override {
        if (size < 1)
            return false;
        buffer[0] = 0;
        return true;
    }
    bool deserialize(unsigned char* buffer, unsigned int size) override {
        if (size > sizeof(itsReply))
            return false;
        std::memcpy(itsReply, buffer, size);
        return size == deserializeSize();
    }
    IComObject* clone() override { return new Request(*this); }

private:
    unsigned char itsReply[1088] = {};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReplayDriver driver(data, size);
    ComStream stream(&driver, ComStream::theLateFlushPolicy);
    Request histogram(0x01, 512);
    Request objects(0x02, 17);
    Request large(0x03, 1088);
    QQueue<IComObject*> queue;
    queue << &histogram << &objects << &large;
    stream.execute(&queue);
    stream.lastError();
    stream.execute(&queue);
    return 0;
}
