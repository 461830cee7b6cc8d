#ifndef ZYRTEST_FIRMWAREFAKEDRIVER_H
#define ZYRTEST_FIRMWAREFAKEDRIVER_H

#include "Communication/comdriver.h"
#include "firmwaretable.h"

#include <QByteArray>
#include <QList>

#include <deque>

namespace ZyrTest {

// Stands in for the board's transport: joins the written bytes into request frames, lets a
// firmware table answer them when the stream flushes and serves the reply frames on read. A
// reply that takes the firmware longer than the read time-out fails the read with -3 and is lost,
// as a late reply is on the real transport.
class FirmwareFakeDriver : public ZyrCore::Communication::ComDriver {
public:
    static constexpr int defaultReadTimeoutMs = 1500;

    explicit FirmwareFakeDriver(const ZyrSim::FirmwareTable& firmware)
        : itsFirmware(firmware) {}

    bool open() override {
        itsOpen = true;
        return true;
    }

    bool close() override {
        itsOpen = false;
        clearBuffers();
        return true;
    }

    int flush() override {
        if (!itsOpen)
            return fail(ChannelNotOpen);
        answerCompleteFrames();
        return Success;
    }

    int write(unsigned char* buffer, int size) override {
        if (!itsOpen)
            return fail(ChannelNotOpen);
        itsWritten.append(reinterpret_cast<const char*>(buffer), size);
        return Success;
    }

    int read(unsigned char* buffer, int size) override {
        if (!itsOpen)
            return fail(ChannelNotOpen);
        answerCompleteFrames();
        while (itsReadable.size() < size && !itsReplies.empty()) {
            const PendingReply reply = itsReplies.front();
            itsReplies.pop_front();
            if (reply.delayMs > itsReadTimeoutMs) {
                itsWaitedMs += itsReadTimeoutMs;
                return fail(ReceiveFailed);
            }
            itsWaitedMs += reply.delayMs;
            itsReadable.append(reply.frame);
        }
        if (itsReadable.size() < size)
            return fail(ReceiveFailed);
        std::copy(itsReadable.constBegin(), itsReadable.constBegin() + size, buffer);
        itsReadable.remove(0, size);
        return Success;
    }

    int checkDeviceState() override { return itsDeviceState = itsOpen ? 4 : 2; }

    void clearBuffers() override {
        itsWritten.clear();
        itsReadable.clear();
        itsReplies.clear();
    }

    void reserved() override {}

    void setReadTimeout(int milliseconds) { itsReadTimeoutMs = milliseconds; }
    int readTimeout() const { return itsReadTimeoutMs; }

    // Every request frame the firmware saw, in order.
    const QList<ZyrSim::FirmwareRequest>& requests() const { return itsRequests; }
    // Time the reads spent waiting for the firmware.
    int waitedMs() const { return itsWaitedMs; }

private:
    struct PendingReply {
        QByteArray frame;
        int delayMs;
    };

    static constexpr int headerSize = 5;

    int fail(int code) {
        itsLastError = code;
        return code;
    }

    static unsigned int bigEndian16(const QByteArray& bytes, int at) {
        return (static_cast<unsigned char>(bytes[at]) << 8) |
               static_cast<unsigned char>(bytes[at + 1]);
    }

    void answerCompleteFrames() {
        while (itsWritten.size() >= headerSize) {
            const int payloadSize = static_cast<int>(bigEndian16(itsWritten, 1));
            if (itsWritten.size() < headerSize + payloadSize)
                return;
            ZyrSim::FirmwareRequest request;
            const auto first = static_cast<unsigned char>(itsWritten[0]);
            request.protocol = first & 0x7F;
            request.fireAndForget = (first & 0x80) != 0;
            request.replySize = bigEndian16(itsWritten, 3);
            request.payload = itsWritten.mid(headerSize, payloadSize);
            itsWritten.remove(0, headerSize + payloadSize);
            itsRequests.append(request);

            const std::optional<ZyrSim::FirmwareReply> reply = itsFirmware.dispatch(request);
            if (!reply)
                continue;
            const QByteArray payload = reply->payload.left(0xFFFF);
            QByteArray frame;
            frame.append(static_cast<char>(reply->protocol.value_or(request.protocol)));
            frame.append('\0');
            frame.append(static_cast<char>(reply->status));
            frame.append(static_cast<char>(payload.size() >> 8));
            frame.append(static_cast<char>(payload.size() & 0xFF));
            frame.append(payload);
            itsReplies.push_back(PendingReply{frame, reply->delayMs});
        }
    }

    const ZyrSim::FirmwareTable& itsFirmware;
    QByteArray itsWritten;
    QByteArray itsReadable;
    std::deque<PendingReply> itsReplies;
    QList<ZyrSim::FirmwareRequest> itsRequests;
    int itsReadTimeoutMs = defaultReadTimeoutMs;
    int itsWaitedMs = 0;
};

} // namespace ZyrTest

#endif // ZYRTEST_FIRMWAREFAKEDRIVER_H
