#include "commands/selecttdcscommand.h"

#include "commands/textconversion.h"

namespace {
constexpr unsigned int kRequestSize = 4;
} // namespace

SelectTDCsCommand::SelectTDCsCommand(bool tdc1, bool tdc2, bool tdc3, bool tdc4)
    : SerializableComObject(commandId, kRequestSize, 0, RequestAndResponse, commandId)
    , itsTdc1(tdc1 ? 1 : 0)
    , itsTdc2(tdc2 ? 1 : 0)
    , itsTdc3(tdc3 ? 1 : 0)
    , itsTdc4(tdc4 ? 1 : 0) {}

SelectTDCsCommand::SelectTDCsCommand(const SelectTDCsCommand& other)
    : IComObject(other)
    , ISerializable(other)
    , SerializableComObject(other)
    , itsTdc1(other.itsTdc1)
    , itsTdc2(other.itsTdc2)
    , itsTdc3(other.itsTdc3)
    , itsTdc4(other.itsTdc4) {}

ZyrCore::Communication::IComObject* SelectTDCsCommand::clone() {
    return new SelectTDCsCommand(*this);
}

bool SelectTDCsCommand::serialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || size < kRequestSize)
        return false;
    buffer[0] = itsTdc1;
    buffer[1] = itsTdc2;
    buffer[2] = itsTdc3;
    buffer[3] = itsTdc4;
    itsTraceText += QLatin1String("#DTX;SELECT_TDCS;06") + bytesToHexText(buffer, kRequestSize);
    return true;
}

bool SelectTDCsCommand::deserialize(unsigned char*, unsigned int) {
    return true;
}

QString SelectTDCsCommand::traceText() const {
    return itsTraceText;
}
