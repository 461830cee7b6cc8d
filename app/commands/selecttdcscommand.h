#ifndef ZYRAPP_COMMANDS_SELECTTDCSCOMMAND_H
#define ZYRAPP_COMMANDS_SELECTTDCSCOMMAND_H

#include "Communication/serializablecomobject.h"

#include <QString>

#include <cstdint>

// Selects which of the four TDCs (zones) the sensor uses.
class SelectTDCsCommand : public ZyrCore::Communication::SerializableComObject {
public:
    static constexpr unsigned char commandId = 6;

    SelectTDCsCommand(bool tdc1, bool tdc2, bool tdc3, bool tdc4);
    // A copy takes the selection; its trace text is empty.
    SelectTDCsCommand(const SelectTDCsCommand& other);
    ~SelectTDCsCommand() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // The reply carries nothing of interest.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    QString traceText() const;

private:
    uint8_t itsTdc1;
    uint8_t itsTdc2;
    uint8_t itsTdc3;
    uint8_t itsTdc4;
    QString itsTraceText;
};

#endif // ZYRAPP_COMMANDS_SELECTTDCSCOMMAND_H
