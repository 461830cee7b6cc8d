#ifndef ZYRTESTS_FRAMEFAKEDRIVER_H
#define ZYRTESTS_FRAMEFAKEDRIVER_H

#include "Communication/comdriver.h"
#include "Communication/icommunicationnode.h"
#include "firmwaretable.h"

#include <QByteArray>
#include <QList>
#include <QSet>

#include <algorithm>
#include <optional>

// A driver that stands in for the board's transport in tests: it joins the bytes a stream writes
// into request frames, hands each frame to a FirmwareTable and serves the reply frames on read.
//
// Request frame: byte 0 protocol (bit 7 set: no reply wanted), bytes 1-2 request size, bytes 3-4
// reply size (big-endian), then the payload. Reply frame: protocol, 0, status, payload length
// (big-endian), payload. Like the board's drivers it is also a stack node, the lowest one.
class FrameFakeDriver : public ZyrCore::Communication::ComDriver,
                        public virtual ZyrCore::Communication::ICommunicationNode {
public:
    explicit FrameFakeDriver(ZyrSim::FirmwareTable* firmware)
        : itsFirmware(firmware) {}

    bool open() override {
        itsOpen = true;
        return true;
    }

    bool close() override {
        itsOpen = false;
        return true;
    }

    bool isOpen() override { return ComDriver::isOpen(); }

    // The lowest node: nothing stacks below it.
    bool setNextNode(ZyrCore::Communication::ICommunicationNode*) override { return false; }

    int flush() override { return fail(itsOpen ? Success : ChannelNotOpen); }

    int write(unsigned char* buffer, int size) override {
        if (!itsOpen)
            return fail(ChannelNotOpen);
        const int writeIndex = itsWriteCount++;
        if (itsFailingWrites.contains(writeIndex))
            return fail(TransmitFailed);
        itsIncoming.append(reinterpret_cast<const char*>(buffer), size);
        dispatchCompleteFrames();
        return Success;
    }

    int read(unsigned char* buffer, int size) override {
        if (!itsOpen)
            return fail(ChannelNotOpen);
        if (size < 0 || itsOutgoing.size() < size) {
            itsOutgoing.clear();
            return fail(ReceiveFailed);
        }
        std::copy(itsOutgoing.constBegin(), itsOutgoing.constBegin() + size, buffer);
        itsOutgoing.remove(0, size);
        return Success;
    }

    int checkDeviceState() override { return itsDeviceState = itsOpen ? 4 : 2; }

    void clearBuffers() override {
        itsIncoming.clear();
        itsOutgoing.clear();
    }

    void reserved() override {}

    // The write call with this index (counted from 0 since construction) fails and sends nothing.
    void failWrite(int writeIndex) { itsFailingWrites.insert(writeIndex); }

    // Every request frame that reached the firmware, in order.
    const QList<ZyrSim::FirmwareRequest>& requests() const { return itsRequests; }
    int writeCount() const { return itsWriteCount; }

private:
    static constexpr int kHeaderSize = 5;

    static unsigned int bigEndian16(const QByteArray& bytes, int offset) {
        return (static_cast<unsigned int>(static_cast<unsigned char>(bytes.at(offset))) << 8) |
               static_cast<unsigned char>(bytes.at(offset + 1));
    }

    int fail(int error) {
        if (error != Success)
            itsLastError = error;
        return error;
    }

    void dispatchCompleteFrames() {
        while (itsIncoming.size() >= kHeaderSize) {
            const int payloadSize = static_cast<int>(bigEndian16(itsIncoming, 1));
            if (itsIncoming.size() < kHeaderSize + payloadSize)
                return;
            ZyrSim::FirmwareRequest request;
            const auto first = static_cast<unsigned char>(itsIncoming.at(0));
            request.protocol = first & 0x7F;
            request.fireAndForget = (first & 0x80) != 0;
            request.replySize = bigEndian16(itsIncoming, 3);
            request.payload = itsIncoming.mid(kHeaderSize, payloadSize);
            itsIncoming.remove(0, kHeaderSize + payloadSize);
            itsRequests.append(request);

            const std::optional<ZyrSim::FirmwareReply> reply = itsFirmware->dispatch(request);
            if (!reply)
                continue;
            const int length = reply->payload.size();
            itsOutgoing.append(static_cast<char>(reply->protocol.value_or(request.protocol)));
            itsOutgoing.append('\0');
            itsOutgoing.append(static_cast<char>(reply->status));
            itsOutgoing.append(static_cast<char>((length >> 8) & 0xFF));
            itsOutgoing.append(static_cast<char>(length & 0xFF));
            itsOutgoing.append(reply->payload);
        }
    }

    ZyrSim::FirmwareTable* itsFirmware;
    QByteArray itsIncoming;
    QByteArray itsOutgoing;
    QList<ZyrSim::FirmwareRequest> itsRequests;
    QSet<int> itsFailingWrites;
    int itsWriteCount = 0;
};

#endif // ZYRTESTS_FRAMEFAKEDRIVER_H
