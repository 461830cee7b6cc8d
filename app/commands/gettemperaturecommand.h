#ifndef ZYRAPP_COMMANDS_GETTEMPERATURECOMMAND_H
#define ZYRAPP_COMMANDS_GETTEMPERATURECOMMAND_H

#include "Communication/serializablecomobject.h"

#include <QString>

#include <cstdint>

// Reads the chip temperature in degrees Celsius.
class GetTemperatureCommand : public ZyrCore::Communication::SerializableComObject {
public:
    static constexpr unsigned char commandId = 10;

    GetTemperatureCommand();
    // A copy takes the temperature; its trace text is empty.
    GetTemperatureCommand(const GetTemperatureCommand& other);
    ~GetTemperatureCommand() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // Needs one byte; an empty reply leaves the temperature as it was.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    QString traceText() const;
    int8_t temperature() const;

private:
    QString itsTraceText;
    int8_t itsTemperature = 20;
};

#endif // ZYRAPP_COMMANDS_GETTEMPERATURECOMMAND_H
