#include "simulatedhidinterface.h"

#include "usbframes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace ZyrSim {

namespace {
constexpr char kFillerByte = '\xA5';
constexpr unsigned int kMaxReplyLength = 0xFFFF;
} // namespace

SimulatedHidInterface::SimulatedHidInterface(BoardInterface which, const SimulatorConfig& config,
                                             std::mt19937& random)
    : itsWhich(which)
    , itsConfig(config)
    , itsRandom(random) {}

bool SimulatedHidInterface::isPresent() const {
    return itsConfig.fault(itsWhich) != TransportFault::Unplugged;
}

SimulatedHidInterface::Session SimulatedHidInterface::claim(int* refusal) {
    ++itsClaimAttempts;
    const int error = !isPresent()                                                ? ENODEV
                      : itsConfig.fault(itsWhich) == TransportFault::AccessDenied ? EACCES
                      : itsHeldSession != 0                                       ? EBUSY
                                                                                  : 0;
    if (refusal != nullptr)
        *refusal = error;
    if (error != 0)
        return 0;
    itsHeldSession = ++itsLastSession;
    return itsHeldSession;
}

void SimulatedHidInterface::release(Session session) {
    if (session != 0 && session == itsHeldSession)
        itsHeldSession = 0;
}

bool SimulatedHidInterface::isSessionValid(Session session) const {
    return session != 0 && session == itsHeldSession && isPresent();
}

void SimulatedHidInterface::onFaultChanged() {
    if (isPresent())
        return;
    // Unplugged: every handle is dead and whatever was in flight is lost.
    itsHeldSession = 0;
    itsRequestBytes.clear();
    itsInput.clear();
}

SimulatedHidInterface::Transfer SimulatedHidInterface::hostWrite(Session session,
                                                                 const unsigned char* report,
                                                                 unsigned int length) {
    if (!isSessionValid(session) || report == nullptr)
        return Transfer::Failed;
    if (itsConfig.timing) {
        itsOutFree = reportFrameEnd(Clock::now(), itsOutFree);
        std::this_thread::sleep_until(itsOutFree);
    }
    acceptReport(report, length);
    return Transfer::Done;
}

SimulatedHidInterface::Transfer
SimulatedHidInterface::hostRead(Session session, unsigned char* report, unsigned int capacity,
                                quint32 timeoutMs, unsigned int* transferred) {
    if (!isSessionValid(session) || report == nullptr)
        return Transfer::Failed;

    if (itsInput.empty() && itsConfig.fault(itsWhich) == TransportFault::EndlessWrongCounter) {
        const Clock::time_point readyAt = Clock::now();
        queueReport(readyAt, wrongCounter(), nullptr, 0, 0);
    }
    const auto timeout = std::chrono::milliseconds(timeoutMs);
    if (itsInput.empty()) {
        // Nothing can arrive while the host waits: the board answers only inside host calls.
        if (timeoutMs != waitForever)
            std::this_thread::sleep_for(timeout);
        return Transfer::TimedOut;
    }

    const InputReport& next = itsInput.front();
    const Clock::time_point now = Clock::now();
    if (next.readyAt > now) {
        if (timeoutMs != waitForever && next.readyAt - now > timeout) {
            std::this_thread::sleep_for(timeout);
            return Transfer::TimedOut;
        }
        std::this_thread::sleep_until(next.readyAt);
    }
    const unsigned int count = std::min(capacity, reportLength);
    std::memcpy(report, next.bytes.data(), count);
    if (transferred != nullptr)
        *transferred = count;
    itsInput.pop_front();
    return Transfer::Done;
}

void SimulatedHidInterface::acceptReport(const unsigned char* report, unsigned int length) {
    // The firmware ignores reports it cannot make sense of.
    if (length < 1 + reportHeaderSize)
        return;
    const unsigned int count = report[2];
    if (count > std::min(payloadPerReport, length - 1 - reportHeaderSize))
        return;
    itsHostCounter = report[1];
    itsRequestBytes.append(reinterpret_cast<const char*>(report + 1 + reportHeaderSize),
                           int(count));
    processFrames();
}

void SimulatedHidInterface::processFrames() {
    while (unsigned(itsRequestBytes.size()) >= frameHeaderSize) {
        const auto* header = reinterpret_cast<const unsigned char*>(itsRequestBytes.constData());
        const unsigned int requestSize = (unsigned(header[1]) << 8) | header[2];
        if (requestSize > maxRequestPayload) {
            itsRequestBytes.clear(); // not a frame: start over with the next one
            return;
        }
        if (unsigned(itsRequestBytes.size()) < frameHeaderSize + requestSize)
            return;
        FirmwareRequest request;
        request.protocol = header[0] & 0x7F;
        request.fireAndForget = (header[0] & 0x80) != 0;
        request.replySize = (unsigned(header[3]) << 8) | header[4];
        request.payload = itsRequestBytes.mid(int(frameHeaderSize), int(requestSize));
        itsRequestBytes.remove(0, int(frameHeaderSize + requestSize));
        answer(request);
    }
}

void SimulatedHidInterface::answer(const FirmwareRequest& request) {
    const std::optional<FirmwareReply> reply = itsFirmware.dispatch(request);
    const TransportFault fault = itsConfig.fault(itsWhich);
    if (!reply || fault == TransportFault::NoReply || fault == TransportFault::EndlessWrongCounter)
        return;

    unsigned char protocol = reply->protocol.value_or(request.protocol) & 0x7F;
    if (fault == TransportFault::WrongProtocol)
        protocol = (protocol + 1 + itsRandom() % 127) % 128;
    QByteArray payload = reply->payload.left(int(kMaxReplyLength));
    if (fault == TransportFault::ReplyTooLong && unsigned(payload.size()) <= request.replySize)
        payload.append(QByteArray(int(request.replySize) + 1 - payload.size(), kFillerByte));

    // Under the timing model the request arrived when its last report's frame ended.
    const Clock::time_point readyAt = (itsConfig.timing ? itsOutFree : Clock::now()) +
                                      std::chrono::milliseconds(std::max(0, reply->delayMs));
    const unsigned char counter = itsHostCounter & 0x0F;
    if (fault == TransportFault::StaleReports) {
        const QByteArray junk(int(payloadPerReport), kFillerByte);
        for (unsigned int stale = 1 + itsRandom() % 3; stale > 0; --stale)
            queueReport(readyAt, wrongCounter(), junk.constData(), payloadPerReport, 0);
    }
    if (fault == TransportFault::ZeroCountReport)
        queueReport(readyAt, counter, nullptr, 0, reply->status);

    QByteArray frame;
    frame.reserve(int(frameHeaderSize) + payload.size());
    frame.append(char(protocol));
    frame.append('\0');
    frame.append(char(reply->status));
    frame.append(char((payload.size() >> 8) & 0xFF));
    frame.append(char(payload.size() & 0xFF));
    frame.append(payload);
    for (int offset = 0; offset < frame.size(); offset += int(payloadPerReport)) {
        const unsigned int count = std::min(payloadPerReport, unsigned(frame.size() - offset));
        queueReport(readyAt, counter, frame.constData() + offset, count, reply->status);
    }
}

void SimulatedHidInterface::queueReport(Clock::time_point readyAt, unsigned char counter,
                                        const char* payload, unsigned int count,
                                        unsigned char status) {
    InputReport report;
    report.bytes.fill(0);
    report.bytes[1] = static_cast<unsigned char>(counter << 4);
    report.bytes[2] = static_cast<unsigned char>(count);
    report.bytes[3] = status;
    if (count > 0)
        std::memcpy(report.bytes.data() + 1 + reportHeaderSize, payload, count);
    if (itsConfig.timing) {
        itsInFree = reportFrameEnd(readyAt, itsInFree);
        readyAt = itsInFree;
    }
    report.readyAt = readyAt;
    itsInput.push_back(report);
}

unsigned char SimulatedHidInterface::wrongCounter() {
    const unsigned int counter = itsHostCounter & 0x0F;
    return static_cast<unsigned char>((counter + 1 + itsRandom() % 14) % 15);
}

} // namespace ZyrSim
