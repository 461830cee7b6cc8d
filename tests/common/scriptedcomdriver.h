#ifndef TESTS_COMMON_SCRIPTEDCOMDRIVER_H
#define TESTS_COMMON_SCRIPTEDCOMDRIVER_H

#include "Communication/comdriver.h"
#include "Communication/icommunicationnode.h"

#include <QByteArray>
#include <QList>

#include <cstring>

// A driver whose device is a script: it records every write and flush, and serves reads from a
// queue of reply bytes. Single operations can be made to fail.
class ScriptedComDriver : public ZyrCore::Communication::ComDriver,
                          public virtual ZyrCore::Communication::ICommunicationNode {
public:
    bool open() override {
        ++openCalls;
        itsOpen = openResult;
        return openResult;
    }
    bool close() override {
        ++closeCalls;
        itsOpen = false;
        return true;
    }
    bool isOpen() override { return ComDriver::isOpen(); }
    bool setNextNode(ICommunicationNode*) override { return true; }

    int flush() override {
        events.append(QByteArrayLiteral("flush"));
        ++flushCalls;
        return takeFailure(flushFailures);
    }
    int write(unsigned char* buffer, int size) override {
        const int failure = takeFailure(writeFailures);
        writes.append(QByteArray(reinterpret_cast<const char*>(buffer), size));
        events.append(QByteArrayLiteral("write"));
        return failure;
    }
    int read(unsigned char* buffer, int size) override {
        events.append(QByteArrayLiteral("read"));
        const int failure = takeFailure(readFailures);
        if (failure != 0)
            return failure;
        if (replies.size() < size) {
            itsLastError = ReceiveFailed;
            return ReceiveFailed;
        }
        std::memcpy(buffer, replies.constData(), static_cast<size_t>(size));
        replies.remove(0, size);
        return 0;
    }
    int lastError() override {
        ++lastErrorCalls;
        return ComDriver::lastError();
    }
    int checkDeviceState() override { return itsDeviceState; }
    void clearBuffers() override { ++clearBufferCalls; }
    void reserved() override {}

    // Queues one reply frame: protocol, unused byte, status, big-endian length, payload.
    void queueReply(unsigned char protocol, unsigned char status, const QByteArray& payload) {
        queueReplyHeader(protocol, status, payload.size());
        replies.append(payload);
    }
    void queueReplyHeader(unsigned char protocol, unsigned char status, int length) {
        const char header[5] = {static_cast<char>(protocol), 0, static_cast<char>(status),
                                static_cast<char>(length >> 8), static_cast<char>(length)};
        replies.append(header, 5);
    }
    void setOpen(bool open) { itsOpen = open; }
    void setPendingError(int error) { itsLastError = error; }

    bool openResult = true;
    QList<QByteArray> writes;
    QList<QByteArray> events;
    QByteArray replies;
    // Each list holds the results of the next calls of that kind; an empty list means success.
    QList<int> writeFailures;
    QList<int> flushFailures;
    QList<int> readFailures;
    int openCalls = 0;
    int closeCalls = 0;
    int flushCalls = 0;
    int lastErrorCalls = 0;
    int clearBufferCalls = 0;

private:
    static int takeFailure(QList<int>& failures) {
        return failures.isEmpty() ? 0 : failures.takeFirst();
    }
};

#endif // TESTS_COMMON_SCRIPTEDCOMDRIVER_H
