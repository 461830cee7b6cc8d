#include "commands/getobjectscommand.h"

#include "commands/littleendian.h"
#include "commands/textconversion.h"

#include <QDateTime>

namespace {
constexpr unsigned int kReplySize = 17;

QString nowMs() {
    return QString::number(QDateTime::currentMSecsSinceEpoch());
}
} // namespace

GetObjectsCommand::GetObjectsCommand()
    : SerializableComObject(commandId, 0, kReplySize, RequestAndResponse, commandId) {}

GetObjectsCommand::GetObjectsCommand(const GetObjectsCommand& other)
    : IComObject(other)
    , ISerializable(other)
    , SerializableComObject(other)
    , itsObjectCount(other.itsObjectCount)
    , itsResult(other.itsResult) {}

ZyrCore::Communication::IComObject* GetObjectsCommand::clone() {
    return new GetObjectsCommand(*this);
}

bool GetObjectsCommand::serialize(unsigned char*, unsigned int) {
    itsTraceText += QLatin1String("#DTX;") + nowMs() + QLatin1String(";GET_OBJECTS;02\n");
    return true;
}

bool GetObjectsCommand::deserialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || size < kReplySize)
        return false;
    itsObjectCount = buffer[0];
    itsResult.byte1 = buffer[1];
    itsResult.distance = readUInt16Le(buffer + 2);
    itsResult.word4 = readUInt16Le(buffer + 4);
    itsResult.word6 = readUInt16Le(buffer + 6);
    itsResult.confidence = buffer[8];
    itsResult.referencePhotonCount = readUInt32Le(buffer + 9);
    itsResult.objectPhotonCount = readUInt32Le(buffer + 13);
    itsTraceText += QLatin1String("#DRX;") + nowMs() + QLatin1String(";GET_OBJECTS") +
                    bytesToHexText(buffer, static_cast<int>(size));
    return true;
}

QString GetObjectsCommand::traceText() const {
    return itsTraceText;
}

uint8_t GetObjectsCommand::objectCount() const {
    return itsObjectCount;
}

ObjectsResult GetObjectsCommand::result() const {
    return itsResult;
}
