#include "commands/getcalibrationdatacommand.h"

#include "commands/textconversion.h"

namespace {
constexpr unsigned int kRequestSize = 1;
constexpr unsigned int kReplySize = 14;
} // namespace

GetCalibrationDataCommand::GetCalibrationDataCommand(uint8_t mode)
    : SerializableComObject(commandId, kRequestSize, kReplySize, RequestAndResponse, commandId)
    , itsMode(mode) {}

GetCalibrationDataCommand::GetCalibrationDataCommand(const GetCalibrationDataCommand& other)
    : IComObject(other)
    , ISerializable(other)
    , SerializableComObject(other)
    , itsTraceText(other.itsTraceText)
    , itsCalibrationData(other.itsCalibrationData)
    , itsMode(other.itsMode) {}

ZyrCore::Communication::IComObject* GetCalibrationDataCommand::clone() {
    return new GetCalibrationDataCommand(*this);
}

bool GetCalibrationDataCommand::serialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || size < kRequestSize)
        return false;
    buffer[0] = itsMode;
    itsTraceText +=
        QLatin1String("#DTX;GET_CALIBRATION_DATA;09") + bytesToHexText(buffer, kRequestSize);
    return true;
}

bool GetCalibrationDataCommand::deserialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || size < kReplySize) {
        const int received = buffer != nullptr ? static_cast<int>(size) : 0;
        itsTraceText += QLatin1String("#DRX;GET_CALIBRATION_DATA not deserialized. "
                                      "Response length: 0x") +
                        byteToHex(static_cast<uint8_t>(size)) + QLatin1String(". Data: ") +
                        bytesToHexText(buffer, received).toUpper();
        itsCalibrationData = QStringLiteral("\r\n");
        return false;
    }
    itsCalibrationData = bytesToHexText(buffer, kReplySize).toUpper();
    itsTraceText += QLatin1String("#DRX;GET_CALIBRATION_DATA") + itsCalibrationData;
    return true;
}

QString GetCalibrationDataCommand::traceText() const {
    return itsTraceText;
}
QString GetCalibrationDataCommand::calibrationData() const {
    return itsCalibrationData;
}
uint8_t GetCalibrationDataCommand::mode() const {
    return itsMode;
}
