#ifndef ZYRAPP_COMMANDS_SETCAPTURETIMECOMMAND_H
#define ZYRAPP_COMMANDS_SETCAPTURETIMECOMMAND_H

#include "Communication/serializablecomobject.h"

#include <QString>

#include <cstdint>

// Sets the sensor's capture time.
class SetCaptureTimeCommand : public ZyrCore::Communication::SerializableComObject {
public:
    static constexpr unsigned char commandId = 5;

    explicit SetCaptureTimeCommand(uint8_t captureTime);
    // A copy takes the capture time; its trace text is empty.
    SetCaptureTimeCommand(const SetCaptureTimeCommand& other);
    ~SetCaptureTimeCommand() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // The reply carries nothing of interest.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    QString traceText() const;

private:
    uint8_t itsCaptureTime;
    QString itsTraceText;
};

#endif // ZYRAPP_COMMANDS_SETCAPTURETIMECOMMAND_H
