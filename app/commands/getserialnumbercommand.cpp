#include "commands/getserialnumbercommand.h"

#include "commands/textconversion.h"

namespace {
constexpr unsigned int kReplySize = 14;

QString joinedFour(const unsigned char* bytes, QString (*convert)(uint8_t), QChar separator) {
    return convert(bytes[0]) + separator + convert(bytes[1]) + separator + convert(bytes[2]) +
           separator + convert(bytes[3]);
}
} // namespace

GetSerialNumberCommand::GetSerialNumberCommand()
    : SerializableComObject(commandId, 0, kReplySize, RequestAndResponse, commandId)
    , itsSerialNumber(QStringLiteral("00-00-00-00"))
    , itsApp0Revision(QStringLiteral("11.11.11.11"))
    , itsDriverRevision(QStringLiteral("22.22.22.22"))
    , itsChipId(QStringLiteral("0"))
    , itsChipRevision(QStringLiteral("0")) {}

GetSerialNumberCommand::GetSerialNumberCommand(const GetSerialNumberCommand& other)
    : IComObject(other)
    , ISerializable(other)
    , SerializableComObject(other)
    , itsTraceText(other.itsTraceText)
    , itsSerialNumber(other.itsSerialNumber)
    , itsApp0Revision(other.itsApp0Revision)
    , itsDriverRevision(other.itsDriverRevision)
    , itsChipId(other.itsChipId)
    , itsChipRevision(other.itsChipRevision) {}

ZyrCore::Communication::IComObject* GetSerialNumberCommand::clone() {
    return new GetSerialNumberCommand(*this);
}

bool GetSerialNumberCommand::serialize(unsigned char*, unsigned int) {
    itsTraceText += QLatin1String("#DTX;GET_SERIAL_NUMBER;08\n");
    return true;
}

bool GetSerialNumberCommand::deserialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || size < kReplySize) {
        itsTraceText += QLatin1String("GET_SERIAL_NUMBER not deserialized. Response length: ") +
                        byteToHex(static_cast<uint8_t>(size));
        return false;
    }
    itsSerialNumber = joinedFour(buffer, byteToHex, QLatin1Char('-'));
    itsApp0Revision = joinedFour(buffer + 4, byteToDecimal, QLatin1Char('.'));
    itsDriverRevision = joinedFour(buffer + 8, byteToDecimal, QLatin1Char('.'));
    itsChipId = byteToDecimal(buffer[12]);
    itsChipRevision = byteToDecimal(buffer[13]);
    itsTraceText += QLatin1String("#DRX;GET_SERIAL_NUMBER") + bytesToHexText(buffer, kReplySize);
    return true;
}

QString GetSerialNumberCommand::traceText() const {
    return itsTraceText;
}
QString GetSerialNumberCommand::serialNumber() const {
    return itsSerialNumber;
}
QString GetSerialNumberCommand::app0Revision() const {
    return itsApp0Revision;
}
QString GetSerialNumberCommand::driverRevision() const {
    return itsDriverRevision;
}
QString GetSerialNumberCommand::chipId() const {
    return itsChipId;
}
QString GetSerialNumberCommand::chipRevision() const {
    return itsChipRevision;
}
