#ifndef ZYRAPP_COMMANDS_GETHISTOGRAMCOMMAND_H
#define ZYRAPP_COMMANDS_GETHISTOGRAMCOMMAND_H

#include "Communication/serializablecomobject.h"

#include <QString>

#include <cstdint>

// Reads one 256-bin histogram of a type (0-4) and channel (0 reference, 1-4 zones).
class GetHistogramCommand : public ZyrCore::Communication::SerializableComObject {
public:
    static constexpr unsigned char commandId = 1;
    static constexpr int binCount = 256;

    GetHistogramCommand(uint8_t histogramType, uint8_t channel);
    // A copy takes the request parameters; its bins are zero and its trace text empty.
    GetHistogramCommand(const GetHistogramCommand& other);
    ~GetHistogramCommand() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // Accepts exactly 512 bytes; anything else leaves the bins as they were.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    QString traceText() const;
    // The 256 bins, valid while the command lives.
    const uint16_t* data() const;

private:
    uint8_t itsHistogramType;
    uint8_t itsChannel;
    uint16_t itsData[binCount] = {};
    QString itsTraceText;
};

#endif // ZYRAPP_COMMANDS_GETHISTOGRAMCOMMAND_H
