#include "commands/targetconfigurationcommand.h"

#include "commands/textconversion.h"

namespace {
constexpr unsigned int kRequestSize = 3;
} // namespace

TargetConfigurationCommand::TargetConfigurationCommand(uint8_t histogramsEnabled,
                                                       uint8_t pileupCorrection,
                                                       uint8_t operationMode)
    : SerializableComObject(commandId, kRequestSize, 0, RequestAndResponse, commandId)
    , itsHistogramsEnabled(histogramsEnabled)
    , itsPileupCorrection(pileupCorrection)
    , itsOperationMode(operationMode) {}

TargetConfigurationCommand::TargetConfigurationCommand(const TargetConfigurationCommand& other)
    : IComObject(other)
    , ISerializable(other)
    , SerializableComObject(other)
    , itsHistogramsEnabled(other.itsHistogramsEnabled)
    , itsPileupCorrection(other.itsPileupCorrection)
    , itsOperationMode(other.itsOperationMode) {}

ZyrCore::Communication::IComObject* TargetConfigurationCommand::clone() {
    return new TargetConfigurationCommand(*this);
}

bool TargetConfigurationCommand::serialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || size < kRequestSize)
        return false;
    buffer[0] = itsHistogramsEnabled;
    buffer[1] = itsPileupCorrection;
    buffer[2] = itsOperationMode;
    itsTraceText +=
        QLatin1String("#DTX;TARGET_CONFIGURATION;07") + bytesToHexText(buffer, kRequestSize);
    return true;
}

bool TargetConfigurationCommand::deserialize(unsigned char*, unsigned int) {
    return true;
}

QString TargetConfigurationCommand::traceText() const {
    return itsTraceText;
}
