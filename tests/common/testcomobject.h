#ifndef TESTS_COMMON_TESTCOMOBJECT_H
#define TESTS_COMMON_TESTCOMOBJECT_H

#include "Communication/serializablecomobject.h"

#include <QByteArray>

// A com object whose payloads are plain bytes: it sends its request bytes and keeps the reply.
class TestComObject : public ZyrCore::Communication::SerializableComObject {
public:
    TestComObject(unsigned char protocol, QByteArray request, unsigned int replySize,
                  CallingType callingType = RequestAndResponse)
        : SerializableComObject(protocol, static_cast<unsigned int>(request.size()), replySize,
                                callingType, 0)
        , request(std::move(request)) {}

    bool serialize(unsigned char* buffer, unsigned int size) override {
        ++serializeCalls;
        if (!serializeResult || size < static_cast<unsigned int>(request.size()))
            return false;
        std::copy(request.cbegin(), request.cend(), buffer);
        return true;
    }
    bool deserialize(unsigned char* buffer, unsigned int size) override {
        ++deserializeCalls;
        reply = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<int>(size));
        return deserializeResult;
    }
    IComObject* clone() override { return new TestComObject(*this); }

    QByteArray request;
    QByteArray reply;
    bool serializeResult = true;
    bool deserializeResult = true;
    int serializeCalls = 0;
    int deserializeCalls = 0;
};

#endif // TESTS_COMMON_TESTCOMOBJECT_H
