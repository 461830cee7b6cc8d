// Cost of one request/reply exchange through ComStream, without any transport below it.

#include "Communication/comstream.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

using namespace ZyrCore::Communication;

namespace {

// Answers every request frame at once with a reply of the requested size.
class LoopbackDriver : public ComDriver {
public:
    LoopbackDriver() { itsOpen = true; }
    bool open() override { return itsOpen = true; }
    bool close() override { return !(itsOpen = false); }
    int flush() override { return 0; }
    int write(unsigned char* buffer, int size) override {
        if (size < 5)
            return TransmitFailed;
        const unsigned int replySize = (buffer[3] << 8) | buffer[4];
        itsReply.assign(5 + replySize, 0x5A);
        itsReply[0] = buffer[0] & 0x7F;
        itsReply[1] = 0;
        itsReply[2] = 0;
        itsReply[3] = buffer[3];
        itsReply[4] = buffer[4];
        itsReadPosition = 0;
        return 0;
    }
    int read(unsigned char* buffer, int size) override {
        if (itsReadPosition + static_cast<size_t>(size) > itsReply.size())
            return ReceiveFailed;
        std::memcpy(buffer, itsReply.data() + itsReadPosition, static_cast<size_t>(size));
        itsReadPosition += static_cast<size_t>(size);
        return 0;
    }
    int checkDeviceState() override { return 4; }
    void clearBuffers() override {}
    void reserved() override {}

private:
    std::vector<unsigned char> itsReply;
    size_t itsReadPosition = 0;
};

// A histogram-sized request: 2 request bytes, 512 reply bytes.
class HistogramLikeRequest : public SerializableComObject {
public:
    HistogramLikeRequest()
        : SerializableComObject(0x01, 2, 512, RequestAndResponse, 0) {}
    bool serialize(unsigned char* buffer, unsigned int size) override {
        if (size < 2)
            return false;
        buffer[0] = 1;
        buffer[1] = 2;
        return true;
    }
    bool deserialize(unsigned char* buffer, unsigned int size) override {
        if (size != 512)
            return false;
        std::memcpy(itsBins, buffer, size);
        return true;
    }
    IComObject* clone() override { return new HistogramLikeRequest(*this); }

private:
    unsigned char itsBins[512] = {};
};

void BM_StreamExchange(benchmark::State& state) {
    LoopbackDriver driver;
    ComStream stream(&driver, ComStream::theImmediateFlushPolicy);
    HistogramLikeRequest request;
    for (auto _ : state) {
        stream.execute(&request);
        if (stream.lastError() != 0 || !request.valid())
            state.SkipWithError("exchange failed");
    }
}
BENCHMARK(BM_StreamExchange);

} // namespace

BENCHMARK_MAIN();
