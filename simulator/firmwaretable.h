#ifndef ZYRSIM_FIRMWARETABLE_H
#define ZYRSIM_FIRMWARETABLE_H

#include <QByteArray>
#include <QHash>

#include <functional>
#include <optional>

namespace ZyrSim {

// One request frame as the board's firmware sees it, after the host's reports were joined.
struct FirmwareRequest {
    unsigned char protocol = 0; // low seven bits of the frame's first byte
    bool fireAndForget = false; // bit 7 of the first byte: the host expects no reply
    unsigned int replySize = 0; // largest reply payload the host accepts (frame bytes 3-4)
    QByteArray payload;
};

// What the firmware answers. The reply frame carries the request's protocol unless told otherwise.
struct FirmwareReply {
    unsigned char status = 0;
    QByteArray payload;
    std::optional<unsigned char> protocol; // set only to fake a reply for another protocol
    int delayMs = 0;                       // time the firmware takes before the reply is ready
};

// The firmware of one HID interface: a handler per protocol. A handler returns no reply for a
// request it leaves unanswered (always so for fire-and-forget frames).
class FirmwareTable {
public:
    using Handler = std::function<std::optional<FirmwareReply>(const FirmwareRequest&)>;
    // Sees every request before its handler does, in the order they arrive.
    using Observer = std::function<void(const FirmwareRequest&)>;

    void setHandler(unsigned char protocol, Handler handler) {
        itsHandlers.insert(protocol, std::move(handler));
    }
    void removeHandler(unsigned char protocol) { itsHandlers.remove(protocol); }
    bool hasHandler(unsigned char protocol) const { return itsHandlers.contains(protocol); }
    // A null observer removes the current one.
    void setObserver(Observer observer) { itsObserver = std::move(observer); }

    // Unknown protocols get a quick reply with status unknownProtocolStatus and no payload.
    std::optional<FirmwareReply> dispatch(const FirmwareRequest& request) const {
        if (itsObserver)
            itsObserver(request);
        const auto handler = itsHandlers.constFind(request.protocol);
        std::optional<FirmwareReply> reply;
        if (handler != itsHandlers.constEnd())
            reply = (*handler)(request);
        else
            reply = FirmwareReply{unknownProtocolStatus, {}, std::nullopt, 0};
        if (request.fireAndForget)
            return std::nullopt;
        return reply;
    }

    static constexpr unsigned char unknownProtocolStatus = 0xEE;

private:
    QHash<unsigned char, Handler> itsHandlers;
    Observer itsObserver;
};

} // namespace ZyrSim

#endif // ZYRSIM_FIRMWARETABLE_H
