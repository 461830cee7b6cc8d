#include "commands/gettemperaturecommand.h"

#include <QDateTime>

namespace {
constexpr unsigned int kReplySize = 1;

QString nowMs() {
    return QString::number(QDateTime::currentMSecsSinceEpoch());
}
} // namespace

GetTemperatureCommand::GetTemperatureCommand()
    : SerializableComObject(commandId, 0, kReplySize, RequestAndResponse, commandId) {}

GetTemperatureCommand::GetTemperatureCommand(const GetTemperatureCommand& other)
    : IComObject(other)
    , ISerializable(other)
    , SerializableComObject(other)
    , itsTemperature(other.itsTemperature) {}

ZyrCore::Communication::IComObject* GetTemperatureCommand::clone() {
    return new GetTemperatureCommand(*this);
}

bool GetTemperatureCommand::serialize(unsigned char*, unsigned int) {
    itsTraceText += QLatin1String("#DTX;") + nowMs() + QLatin1String(";GET_TEMPERATURE;0A\n");
    return true;
}

bool GetTemperatureCommand::deserialize(unsigned char* buffer, unsigned int size) {
    if (buffer == nullptr || size < kReplySize) {
        itsTraceText +=
            QLatin1String("#DRX;GET_TEMPERATURE;receive buffer size below expexted length.");
        return false;
    }
    itsTemperature = static_cast<int8_t>(buffer[0]);
    itsTraceText += QLatin1String("#DRX;") + nowMs() + QLatin1String(";GET_TEMPERATURE;") +
                    QString::number(itsTemperature);
    return true;
}

QString GetTemperatureCommand::traceText() const {
    return itsTraceText;
}
int8_t GetTemperatureCommand::temperature() const {
    return itsTemperature;
}
