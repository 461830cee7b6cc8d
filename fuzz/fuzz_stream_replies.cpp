// Feeds arbitrary device bytes to ComStream as the replies of a run of requests, one at a time
// and then queued. Whatever the device sends, the stream must not crash; every reply it reads in
// full must be the frame that starts exactly where the previous one ended, and it must accept it
// as valid only with its protocol, its status and exactly its stated number of payload bytes;
// after a reply it could not read in full, it must read no further reply of that flush.

#include "Communication/comstream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace ZyrCore::Communication;

namespace {

// Serves the input as the device's byte stream and says how far it has been read.
class ReplayDriver : public ComDriver {
public:
    ReplayDriver(const uint8_t* data, size_t size)
        : itsData(data)
        , itsSize(size) {}
    bool open() override { return itsOpen = true; }
    bool close() override { return !(itsOpen = false); }
    int flush() override { return 0; }
    int write(unsigned char*, int) override { return 0; }
    // Like a real driver, it reads nothing more once a read failed until the error is fetched.
    int read(unsigned char* buffer, int size) override {
        if (itsLastError != 0)
            return itsLastError;
        if (size < 0 || itsPosition + static_cast<size_t>(size) > itsSize)
            return itsLastError = ReceiveFailed;
        std::memcpy(buffer, itsData + itsPosition, static_cast<size_t>(size));
        itsPosition += static_cast<size_t>(size);
        return 0;
    }
    int checkDeviceState() override { return 4; }
    void clearBuffers() override {}
    void reserved() override {}

    size_t position() const { return itsPosition; }

private:
    const uint8_t* itsData;
    size_t itsSize;
    size_t itsPosition = 0;
};

// A request that keeps the reply it was given and where in the device's stream that reply ended.
class Request : public SerializableComObject {
public:
    Request(const ReplayDriver& driver, unsigned char protocol, unsigned int replySize,
            bool exactReply)
        : SerializableComObject(protocol, 1, replySize, RequestAndResponse, 0)
        , itsDriver(driver)
        , itsExactReply(exactReply) {}
    bool serialize(unsigned char* buffer, unsigned int size) override {
        if (size < 1)
            return false;
        buffer[0] = 0;
        return true;
    }
    bool deserialize(unsigned char* buffer, unsigned int size) override {
        if (size > deserializeSize())
            std::abort(); // more than the request allows was passed on
        itsReply.assign(buffer, buffer + size);
        itsReplyEnd = itsDriver.position();
        itsReplyRead = true;
        return !itsExactReply || size == deserializeSize();
    }
    IComObject* clone() override { return new Request(*this); }

    void forgetReply() { itsReplyRead = false; }

    // Aborts unless a reply read in full is the frame at start (header, stated length, payload)
    // and a valid one carries its status. Returns where the next reply starts, or npos when the
    // reply was not read in full.
    size_t checkReply(const uint8_t* data, size_t size, size_t start) const {
        if (!itsReplyRead) {
            if (valid())
                std::abort();
            // A header for another protocol without payload is read in full all the same.
            const bool emptyForeignReply =
                start != npos && start + ComStream::frameHeaderSize <= size &&
                data[start] != (protocol() & 0x7F) && data[start + 3] == 0 && data[start + 4] == 0;
            return emptyForeignReply ? start + ComStream::frameHeaderSize : npos;
        }
        if (start == npos || itsReplyEnd < start + ComStream::frameHeaderSize)
            std::abort();
        const uint8_t* header = data + start;
        const size_t stated = (size_t(header[3]) << 8) | header[4];
        const bool paired = header[0] == (protocol() & 0x7F) && itsReply.size() == stated &&
                            itsReplyEnd == start + ComStream::frameHeaderSize + stated &&
                            (stated == 0 || std::memcmp(itsReply.data(), header + 5, stated) == 0);
        if (!paired || (valid() && static_cast<unsigned char>(status()) != header[2]))
            std::abort();
        return itsReplyEnd;
    }

    static constexpr size_t npos = ~size_t(0);

private:
    const ReplayDriver& itsDriver;
    bool itsExactReply;
    std::vector<uint8_t> itsReply;
    size_t itsReplyEnd = 0;
    bool itsReplyRead = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReplayDriver driver(data, size);
    ComStream stream(&driver, ComStream::theImmediateFlushPolicy);
    Request histogram(driver, 0x01, 512, false);
    Request objects(driver, 0x02, 17, true);
    Request large(driver, 0x03, ComStream::maxPayloadSize, false);
    Request temperature(driver, 0x0A, 1, true);
    Request* requests[] = {&histogram, &objects, &large, &temperature};

    // One exchange at a time: each one starts where the previous one stopped reading.
    for (int round = 0; round < 6; ++round) {
        Request* request = requests[round % 4];
        const size_t start = driver.position();
        request->forgetReply();
        stream.execute(request);
        stream.lastError();
        request->checkReply(data, size, start);
    }

    // Queued: the replies follow each other in request order until one is not read in full.
    stream.setPolicy(ComStream::theLateFlushPolicy);
    QQueue<IComObject*> queue;
    for (Request* request : requests) {
        request->forgetReply();
        queue << request;
    }
    size_t next = driver.position();
    stream.execute(&queue);
    for (Request* request : requests)
        next = request->checkReply(data, size, next);
    stream.lastError();
    return 0;
}
