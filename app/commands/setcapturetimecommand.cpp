#include "commands/setcapturetimecommand.h"

#include "commands/textconversion.h"

namespace {
constexpr unsigned int kRequestSize = 4;
} // namespace

SetCaptureTimeCommand::SetCaptureTimeCommand(uint8_t captureTime)
    : SerializableComObject(commandId, kRequestSize, 0, RequestAndResponse, commandId)
    , itsCaptureTime(captureTime) {}

SetCaptureTimeCommand::SetCaptureTimeCommand(const SetCaptureTimeCommand& other)
    : IComObject(other)
    , ISerializable(other)
    , SerializableComObject(other)
    , itsCaptureTime(other.itsCaptureTime) {}

ZyrCore::Communication::IComObject* SetCaptureTimeCommand::clone() {
    return new SetCaptureTimeCommand(*this);
}

bool SetCaptureTimeCommand::serialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || size < kRequestSize)
        return false;
    buffer[0] = itsCaptureTime;
    buffer[1] = 0;
    buffer[2] = 0;
    buffer[3] = 0;
    itsTraceText +=
        QLatin1String("#DTX;SET_CAPTURE_TIME;05") + bytesToHexText(buffer, kRequestSize);
    return true;
}

bool SetCaptureTimeCommand::deserialize(unsigned char*, unsigned int) {
    return true;
}

QString SetCaptureTimeCommand::traceText() const {
    return itsTraceText;
}
