#ifndef ZYRAPP_COMMANDS_SETITERATIONSANDOBJECTDETECTIONTHRESHOLDCOMMAND_H
#define ZYRAPP_COMMANDS_SETITERATIONSANDOBJECTDETECTIONTHRESHOLDCOMMAND_H

#include "Communication/serializablecomobject.h"

#include <QString>

#include <cstdint>

// Sets the number of iterations per measurement and the object-detection threshold.
class SetIterationsAndObjectDetectionThresholdCommand
    : public ZyrCore::Communication::SerializableComObject {
public:
    static constexpr unsigned char commandId = 11;

    SetIterationsAndObjectDetectionThresholdCommand(uint16_t iterations, uint8_t threshold);
    // A copy takes both settings; its trace text is empty.
    SetIterationsAndObjectDetectionThresholdCommand(
        const SetIterationsAndObjectDetectionThresholdCommand& other);
    ~SetIterationsAndObjectDetectionThresholdCommand() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // The reply carries nothing of interest.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    QString traceText() const;

private:
    uint16_t itsIterations;
    uint8_t itsThreshold;
    QString itsTraceText;
};

#endif // ZYRAPP_COMMANDS_SETITERATIONSANDOBJECTDETECTIONTHRESHOLDCOMMAND_H
