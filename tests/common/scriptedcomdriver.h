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
    bool open() override { return itsOpen = true; }
    bool close() override {
        itsOpen = false;
        return true;
    }
    bool isOpen() override { return ComDriver::isOpen(); }
    bool setNextNode(ICommunicationNode*) override { return true; }

    int flush() override {
        events.append(QByteArrayLiteral("flush"));
        ++flushCalls;
        return 0;
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
    int checkDeviceState() override { return itsDeviceState; }
    void clearBuffers() override {}
    void reserved() override {}

    // Queues one reply frame: protocol, unused byte, status, big-endian length, payload.
    void queueReply(unsigned char protocol, unsigned char status, const QByteArray& payload) {
        const int length = payload.size();
        const char header[5] = {static_cast<char>(protocol), 0, static_cast<char>(status),
                                static_cast<char>(length >> 8), static_cast<char>(length)};
        replies.append(header, 5);
        replies.append(payload);
    }
    void setOpen(bool open) { itsOpen = open; }

    QList<QByteArray> writes;
    QList<QByteArray> events;
    QByteArray replies;
    // Each list holds the results of the next calls of that kind; an empty list means success.
    QList<int> writeFailures;
    QList<int> readFailures;
    int flushCalls = 0;

private:
    static int takeFailure(QList<int>& failures) {
        return failures.isEmpty() ? 0 : failures.takeFirst();
    }
};

#endif // TESTS_COMMON_SCRIPTEDCOMDRIVER_H
