#ifndef ZYRAPP_COMMANDS_TARGETCONFIGURATIONCOMMAND_H
#define ZYRAPP_COMMANDS_TARGETCONFIGURATIONCOMMAND_H

#include "Communication/serializablecomobject.h"

#include <QString>

#include <cstdint>

// Switches the histograms on or off, sets pile-up correction and the operation mode.
class TargetConfigurationCommand : public ZyrCore::Communication::SerializableComObject {
public:
    static constexpr unsigned char commandId = 7;

    TargetConfigurationCommand(uint8_t histogramsEnabled, uint8_t pileupCorrection,
                               uint8_t operationMode);
    // A copy takes the three settings; its trace text is empty.
    TargetConfigurationCommand(const TargetConfigurationCommand& other);
    ~TargetConfigurationCommand() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // The reply carries nothing of interest.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    QString traceText() const;

private:
    uint8_t itsHistogramsEnabled;
    uint8_t itsPileupCorrection;
    uint8_t itsOperationMode;
    QString itsTraceText;
};

#endif // ZYRAPP_COMMANDS_TARGETCONFIGURATIONCOMMAND_H
