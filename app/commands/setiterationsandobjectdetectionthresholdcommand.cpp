#include "commands/setiterationsandobjectdetectionthresholdcommand.h"

#include "commands/littleendian.h"
#include "commands/textconversion.h"

namespace {
constexpr unsigned int kRequestSize = 3;
} // namespace

SetIterationsAndObjectDetectionThresholdCommand::SetIterationsAndObjectDetectionThresholdCommand(
    uint16_t iterations, uint8_t threshold)
    : SerializableComObject(commandId, kRequestSize, 0, RequestAndResponse, commandId)
    , itsIterations(iterations)
    , itsThreshold(threshold) {}

SetIterationsAndObjectDetectionThresholdCommand::SetIterationsAndObjectDetectionThresholdCommand(
    const SetIterationsAndObjectDetectionThresholdCommand& other)
    : IComObject(other)
    , ISerializable(other)
    , SerializableComObject(other)
    , itsIterations(other.itsIterations)
    , itsThreshold(other.itsThreshold) {}

ZyrCore::Communication::IComObject* SetIterationsAndObjectDetectionThresholdCommand::clone() {
    return new SetIterationsAndObjectDetectionThresholdCommand(*this);
}

bool SetIterationsAndObjectDetectionThresholdCommand::serialize(unsigned char* buffer,
                                                                unsigned int size) {
    if (buffer == nullptr || size < kRequestSize)
        return false;
    writeUInt16Le(buffer, itsIterations);
    buffer[2] = itsThreshold;
    itsTraceText += QLatin1String("#DTX;SET_ITERATIONS_AND_DETECTION_THRESHOLD;0B") +
                    bytesToHexText(buffer, kRequestSize);
    return true;
}

bool SetIterationsAndObjectDetectionThresholdCommand::deserialize(unsigned char*, unsigned int) {
    return true;
}

QString SetIterationsAndObjectDetectionThresholdCommand::traceText() const {
    return itsTraceText;
}
