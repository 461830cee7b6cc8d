#include "commands/gethistogramcommand.h"

#include "commands/littleendian.h"
#include "commands/textconversion.h"

namespace {
constexpr unsigned int kRequestSize = 2;
constexpr unsigned int kReplySize = 2 * GetHistogramCommand::binCount;
} // namespace

GetHistogramCommand::GetHistogramCommand(uint8_t histogramType, uint8_t channel)
    : SerializableComObject(commandId, kRequestSize, kReplySize, RequestAndResponse, commandId)
    , itsHistogramType(histogramType)
    , itsChannel(channel) {}

GetHistogramCommand::GetHistogramCommand(const GetHistogramCommand& other)
    : IComObject(other)
    , ISerializable(other)
    , SerializableComObject(other)
    , itsHistogramType(other.itsHistogramType)
    , itsChannel(other.itsChannel) {}

ZyrCore::Communication::IComObject* GetHistogramCommand::clone() {
    return new GetHistogramCommand(*this);
}

bool GetHistogramCommand::serialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || size < kRequestSize)
        return false;
    buffer[0] = itsHistogramType;
    buffer[1] = itsChannel;
    itsTraceText += QLatin1String("#DTX;GET_HISTOGRAM;01") + bytesToHexText(buffer, kRequestSize);
    return true;
}

bool GetHistogramCommand::deserialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || size != kReplySize) {
        itsTraceText += QLatin1String("#DRX;GET_HISTOGRAM;Wrong response size. Not deserialized.");
        return false;
    }
    for (int bin = 0; bin < binCount; ++bin)
        itsData[bin] = readUInt16Le(buffer + 2 * bin);
    itsTraceText += QLatin1String("#DRX;GET_HISTOGRAM") + bytesToHexText(buffer, kReplySize);
    return true;
}

QString GetHistogramCommand::traceText() const {
    return itsTraceText;
}

const uint16_t* GetHistogramCommand::data() const {
    return itsData;
}
