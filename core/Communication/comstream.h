#ifndef ZYRCORE_COMMUNICATION_COMSTREAM_H
#define ZYRCORE_COMMUNICATION_COMSTREAM_H

#include "Communication/commutex.h"
#include "Communication/emptycomdriver.h"
#include "Communication/icomexecutor.h"
#include "Communication/icommunicationnode.h"
#include "Communication/icomstream.h"
#include "Communication/streamflushobject.h"
#include "Communication/streampolicy.h"

#include <QString>

#include <memory>

namespace ZyrCore::Tracing {
class ITraceSink;
}

namespace ZyrCore::Communication {

// Frames com objects for a driver and pairs the reply frames with the pending requests.
//
// Request frame: protocol (bit 7 set for fire-and-forget), request size and expected reply size
// (both big-endian), then the payload. Reply frame: protocol, one unused byte, device status,
// reply length (big-endian), then the payload. Once a reply cannot be read in full, the requests
// still pending in that flush fail without reading, as their replies can no longer be told apart.
//
// Errors are sticky: the first error of an exchange stays until lastError() fetches it, and no
// request is sent while one is held. Each request in flight keeps one hold of the stream's lock
// from its frame's write until its reply is read.
class ZYRCORE_EXPORT ComStream : public virtual IComStream,
                                 public virtual IComExecutor,
                                 public virtual ICommunicationNode {
public:
    static constexpr unsigned int frameHeaderSize = 5;
    static constexpr unsigned int maxPayloadSize = 1088;
    static constexpr unsigned int maxFrameSize = frameHeaderSize + maxPayloadSize;

    ComStream(ComDriver* driver, const StreamPolicy& policy);
    ComStream(const ComStream&) = delete;
    ComStream& operator=(const ComStream&) = delete;
    ~ComStream() override;

    bool open() override;
    bool close() override;
    bool isOpen() override;
    void append(IComObject* comObject) override;
    void flush() override;
    IComStream& operator<<(IComObject& comObject) override;
    // The driver's error OR the stream's own; clears both.
    int lastError() override;
    ComDriver* comDriver() override;
    bool isResultPending() override;

    virtual void setTracer(ZyrCore::Tracing::ITraceSink* tracer);
    virtual void setComDriver(ComDriver* driver);
    bool execute(IComObject* comObject) override;
    void execute(QQueue<IComObject*>* queue) override;
    bool setNextNode(ICommunicationNode* node) override;

    // Closes and reopens an open driver, abandons every pending request (each is marked failed),
    // releases every hold of the lock and clears the errors.
    bool reset();
    const StreamPolicy* setPolicy(const StreamPolicy& policy);
    void trace(QString text);

    static StreamFlushObject theFlush;
    static const LateFlushPolicy theLateFlushPolicy;
    static const ImmediateFlushPolicy theImmediateFlushPolicy;
    static EmptyComDriver theEmptyDriver;

private:
    bool executeInternal(IComObject* comObject, bool flushAtEnd);
    void txInternal(IComObject* comObject);
    void rxInternal(IComObject* comObject);
    void rxPartOne(IComObject* comObject);
    // What reading a reply did to the device's byte stream.
    enum class ReplyOutcome {
        Accepted, // the reply was read in full and deserialized
        Refused,  // the reply was read in full, but the object is not valid
        OutOfStep // the reply was not read in full: where the next one starts is unknown
    };

    // False when the following replies can no longer be paired with their requests.
    bool rxPartTwo(IComObject* comObject);
    ReplyOutcome readReply(IComObject* comObject, ISerializable* serializable);
    // Marks a pending request failed without reading and releases its hold of the lock.
    void abandonPending(IComObject* comObject);

    // Keeps the first error until lastError() fetches it.
    void recordError(int code);
    void refuseRequest(IComObject* comObject);
    void unlinkPendingTail(IComObject* comObject);
    void writeHeader(unsigned char protocolByte, unsigned int requestSize, unsigned int replySize);
    void traceTelegram(IComObject* comObject, unsigned int telegramType);

    int itsStreamError = 0;
    ComDriver* itsDriver;
    const StreamPolicy* itsPolicy;
    std::unique_ptr<unsigned char[]> itsFrame;
    unsigned int itsPayloadCapacity = maxPayloadSize;
    unsigned char* itsPayload;
    ComMutex itsLock;
    IComObject* itsPendingHead = nullptr;
    IComObject* itsPendingTail = nullptr;
    ZyrCore::Tracing::ITraceSink* itsTracer = nullptr;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMSTREAM_H
