#include "Communication/comstream.h"

#include "Communication/iexecutable.h"
#include "Communication/iserializable.h"
#include "Communication/ixmlserializable.h"
#include "Tools/zyrassert.h"
#include "Tracing/itracesink.h"

#include <QXmlStreamWriter>

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/comstream";
constexpr unsigned char kNoReplyBit = 0x80;
constexpr unsigned char kProtocolMask = 0x7F;
} // namespace

// Built in this order before main: a stream may flush from the first moment.
StreamFlushObject ComStream::theFlush;
const LateFlushPolicy ComStream::theLateFlushPolicy;
const ImmediateFlushPolicy ComStream::theImmediateFlushPolicy;
EmptyComDriver ComStream::theEmptyDriver;

ComStream::ComStream(ComDriver* driver, const StreamPolicy& policy)
    : itsDriver(driver != nullptr ? driver : &theEmptyDriver)
    , itsPolicy(&policy)
    , itsFrame(new unsigned char[maxFrameSize]())
    , itsPayload(itsFrame.get() + frameHeaderSize) {}

// Releasing the lock is ComMutex's own destructor's work; pending objects and the driver are
// left alone.
ComStream::~ComStream() = default;

bool ComStream::open() {
    if (isOpen())
        return true;
    reset();
    return itsDriver->open();
}

bool ComStream::close() {
    if (!isOpen())
        return true;
    const bool closed = itsDriver->close();
    reset();
    return closed;
}

bool ComStream::isOpen() {
    return itsDriver->isOpen();
}

bool ComStream::reset() {
    const bool wasOpen = itsDriver->isOpen();
    if (wasOpen)
        itsDriver->close();

    while (itsLock.unlock()) {
    }

    // An abandoned request gets no reply: unlink it so it can be sent again, and mark it failed.
    IComObject* abandoned = itsPendingHead;
    while (abandoned != nullptr) {
        IComObject* following = abandoned->next();
        abandoned->setNext(nullptr);
        abandoned->setStatus(IComObject::StatusTransportFailure);
        abandoned->setValid(false);
        abandoned = following;
    }
    itsPendingHead = nullptr;
    itsPendingTail = nullptr;

    lastError();

    if (wasOpen)
        return itsDriver->open();
    return false;
}

void ComStream::append(IComObject* comObject) {
    if (comObject->callingType() == IComObject::RequestAndResponse)
        rxInternal(comObject);
    else
        txInternal(comObject);
}

IComStream& ComStream::operator<<(IComObject& comObject) {
    append(&comObject);
    return *this;
}

void ComStream::flush() {
    itsLock.lock();
    theFlush.serialize(itsPayload, 0);
    recordError(itsDriver->flush());
    traceTelegram(&theFlush, 0);

    // After a reply that was not read in full, the bytes that follow belong to no known frame:
    // reading on would pair them with the wrong requests.
    bool inStep = true;
    while (itsPendingHead != nullptr) {
        IComObject* head = itsPendingHead;
        itsPendingHead = head->next();
        head->setNext(nullptr);
        if (inStep)
            inStep = rxPartTwo(head);
        else
            abandonPending(head);
    }
    itsPendingTail = nullptr;
    itsLock.unlock();
}

int ComStream::lastError() {
    const int error = itsDriver->lastError() | itsStreamError;
    itsStreamError = 0;
    return error;
}

ComDriver* ComStream::comDriver() {
    return itsDriver;
}

bool ComStream::isResultPending() {
    return itsPendingHead != nullptr;
}

void ComStream::setTracer(ZyrCore::Tracing::ITraceSink* tracer) {
    itsTracer = tracer;
}

void ComStream::setComDriver(ComDriver* driver) {
    itsDriver = driver != nullptr ? driver : &theEmptyDriver;
}

bool ComStream::execute(IComObject* comObject) {
    ZYR_ASSERT_NOT_NULL(kSource, comObject);
    return executeInternal(comObject, true);
}

void ComStream::execute(QQueue<IComObject*>* queue) {
    ZYR_ASSERT_NOT_NULL(kSource, queue);
    bool allAccepted = true;
    for (IComObject* comObject : *queue)
        allAccepted = executeInternal(comObject, false) && allAccepted;
    if (!itsPolicy->flushImmediately())
        flush();
    if (!allAccepted)
        recordError(ComDriver::TransmitFailed);
}

bool ComStream::setNextNode(ICommunicationNode* node) {
    auto* driver = dynamic_cast<ComDriver*>(node);
    if (driver == nullptr)
        return false;
    setComDriver(driver);
    return true;
}

const StreamPolicy* ComStream::setPolicy(const StreamPolicy& policy) {
    itsLock.lock();
    const StreamPolicy* previous = itsPolicy;
    itsPolicy = &policy;
    itsLock.unlock();
    return previous;
}

void ComStream::trace(QString text) {
    if (itsTracer != nullptr)
        itsTracer->trace(text);
}

bool ComStream::executeInternal(IComObject* comObject, bool flushAtEnd) {
    ZYR_ASSERT_NOT_NULL(kSource, comObject);

    if (auto* executable = dynamic_cast<IExecutable*>(comObject)) {
        const bool succeeded = executable->execute(this);
        comObject->setValid(succeeded);
        if (!succeeded)
            recordError(ComDriver::TransmitFailed);
        traceTelegram(comObject, 0);
        return succeeded;
    }

    if (dynamic_cast<ISerializable*>(comObject) != nullptr) {
        append(comObject);
        if (flushAtEnd && !itsPolicy->flushImmediately())
            flush();
        return true;
    }
    return false;
}

void ComStream::txInternal(IComObject* comObject) {
    ZYR_ASSERT_NOT_NULL(kSource, comObject);
    itsLock.lock();

    auto* serializable = dynamic_cast<ISerializable*>(comObject);
    if (serializable == nullptr) {
        recordError(ComDriver::TransmitFailed);
    } else if (serializable->protocol() == StreamFlushObject::flushProtocol) {
        flush();
    } else if (serializable->serializeSize() > maxPayloadSize) {
        recordError(ComDriver::TransmitFailed);
    } else if (serializable->serialize(itsPayload, itsPayloadCapacity)) {
        const unsigned int size = serializable->serializeSize();
        writeHeader(serializable->protocol() | kNoReplyBit, size, 0);
        const int writeError =
            itsDriver->write(itsFrame.get(), static_cast<int>(size + frameHeaderSize));
        recordError(writeError);
        traceTelegram(comObject, 0);
        // An error held from earlier must not keep a frame that went out from being flushed.
        if (writeError == 0 && itsPolicy->flushImmediately())
            flush();
    }

    itsLock.unlock();
}

void ComStream::rxInternal(IComObject* comObject) {
    ZYR_ASSERT_NOT_NULL(kSource, comObject);
    itsLock.lock();

    auto* serializable = dynamic_cast<ISerializable*>(comObject);
    if (serializable == nullptr || serializable->serializeSize() > maxPayloadSize ||
        serializable->deserializeSize() > maxPayloadSize) {
        recordError(ComDriver::ChannelNotOpen);
        refuseRequest(comObject);
    } else if (comObject->next() != nullptr || comObject == itsPendingTail) {
        // Already waiting for a reply: sending it again would pair replies with the wrong requests.
        recordError(ComDriver::ChannelNotOpen);
        comObject->setStatus(IComObject::StatusTransportFailure);
        comObject->setValid(false);
    } else if (itsStreamError != 0) {
        refuseRequest(comObject);
    } else {
        if (itsPendingTail != nullptr)
            itsPendingTail->setNext(comObject);
        else
            itsPendingHead = comObject;
        itsPendingTail = comObject;

        rxPartOne(comObject);
        if (itsPolicy->flushImmediately())
            flush();
    }

    itsLock.unlock();
}

void ComStream::rxPartOne(IComObject* comObject) {
    itsLock.lock(); // held until rxPartTwo has read this request's reply
    auto* serializable = dynamic_cast<ISerializable*>(comObject);
    ZYR_ASSERT(kSource, serializable != NULL, "serializable is Null!");

    comObject->setValid(false);
    const unsigned int requestSize = serializable->serializeSize();
    writeHeader(serializable->protocol() & kProtocolMask, requestSize,
                serializable->deserializeSize());

    if (!serializable->serialize(itsPayload, itsPayloadCapacity)) {
        // Nothing goes out, so no reply will come: take the request back out of the chain.
        unlinkPendingTail(comObject);
        comObject->setStatus(IComObject::StatusTransportFailure);
        recordError(ComDriver::TransmitFailed);
        itsLock.unlock();
        return;
    }

    recordError(itsDriver->write(itsFrame.get(), static_cast<int>(requestSize + frameHeaderSize)));
    traceTelegram(comObject, 0);
}

bool ComStream::rxPartTwo(IComObject* comObject) {
    auto* serializable = dynamic_cast<ISerializable*>(comObject);
    ZYR_ASSERT(kSource, serializable != NULL, "serializable is Null!");
    const ReplyOutcome outcome = readReply(comObject, serializable);
    if (outcome == ReplyOutcome::Accepted)
        traceTelegram(comObject, 1);
    itsLock.unlock(); // the hold rxPartOne took for this request
    return outcome != ReplyOutcome::OutOfStep;
}

void ComStream::abandonPending(IComObject* comObject) {
    comObject->setStatus(IComObject::StatusTransportFailure);
    comObject->setValid(false);
    itsLock.unlock(); // the hold rxPartOne took for this request
}

ComStream::ReplyOutcome ComStream::readReply(IComObject* comObject, ISerializable* serializable) {
    unsigned char* header = itsFrame.get();
    const int headerError = itsDriver->read(header, frameHeaderSize);
    if (headerError != 0) {
        recordError(headerError);
        comObject->setStatus(IComObject::StatusTransportFailure);
        return ReplyOutcome::OutOfStep;
    }
    const unsigned int replySize = (static_cast<unsigned int>(header[3]) << 8) | header[4];
    if (header[0] != (serializable->protocol() & kProtocolMask)) {
        recordError(ComDriver::DataMismatch);
        comObject->setStatus(IComObject::StatusOtherProtocol);
        return replySize == 0 ? ReplyOutcome::Refused : ReplyOutcome::OutOfStep;
    }
    if (replySize > serializable->deserializeSize() || replySize > itsPayloadCapacity) {
        recordError(ComDriver::ChannelNotOpen);
        comObject->setStatus(IComObject::StatusTransportFailure);
        return ReplyOutcome::OutOfStep;
    }
    const int payloadError = itsDriver->read(itsPayload, static_cast<int>(replySize));
    if (payloadError != 0) {
        recordError(payloadError);
        comObject->setStatus(IComObject::StatusTransportFailure);
        return ReplyOutcome::OutOfStep;
    }

    comObject->setStatus(static_cast<char>(header[2]));
    comObject->setValid(true);
    if (!serializable->deserialize(itsPayload, replySize)) {
        // The device answered, but not in a form the object accepts.
        recordError(ComDriver::DataMismatch);
        comObject->setStatus(IComObject::StatusTransportFailure);
        comObject->setValid(false);
        return ReplyOutcome::Refused;
    }
    return ReplyOutcome::Accepted;
}

void ComStream::recordError(int code) {
    if (itsStreamError == 0)
        itsStreamError = code;
}

void ComStream::refuseRequest(IComObject* comObject) {
    comObject->setStatus(IComObject::StatusTransportFailure);
    comObject->setValid(false);
}

void ComStream::unlinkPendingTail(IComObject* comObject) {
    if (itsPendingHead == comObject) {
        itsPendingHead = nullptr;
        itsPendingTail = nullptr;
        return;
    }
    IComObject* previous = itsPendingHead;
    while (previous != nullptr && previous->next() != comObject)
        previous = previous->next();
    if (previous != nullptr) {
        previous->setNext(nullptr);
        itsPendingTail = previous;
    }
}

void ComStream::writeHeader(unsigned char protocolByte, unsigned int requestSize,
                            unsigned int replySize) {
    unsigned char* header = itsFrame.get();
    header[0] = protocolByte;
    header[1] = static_cast<unsigned char>(requestSize >> 8);
    header[2] = static_cast<unsigned char>(requestSize);
    header[3] = static_cast<unsigned char>(replySize >> 8);
    header[4] = static_cast<unsigned char>(replySize);
}

void ComStream::traceTelegram(IComObject* comObject, unsigned int telegramType) {
    if (itsTracer == nullptr)
        return;
    auto* xmlSerializable = dynamic_cast<IXmlSerializable*>(comObject);
    if (xmlSerializable == nullptr)
        return;
    QString text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    if (xmlSerializable->xmlSerialize(&writer, telegramType))
        trace(text);
}

} // namespace ZyrCore::Communication
