#ifndef ZYRAPP_COMMANDS_GETCALIBRATIONDATACOMMAND_H
#define ZYRAPP_COMMANDS_GETCALIBRATIONDATACOMMAND_H

#include "Communication/serializablecomobject.h"

#include <QString>

#include <cstdint>

// Makes (mode 0), clears (mode 1) or reads (mode 2) the sensor's 14-byte calibration record; the
// reply is the record in every mode.
class GetCalibrationDataCommand : public ZyrCore::Communication::SerializableComObject {
public:
    static constexpr unsigned char commandId = 9;

    enum Mode : uint8_t { NewCalibration = 0, ClearCalibration = 1, ReadCalibration = 2 };

    explicit GetCalibrationDataCommand(uint8_t mode);
    // A copy takes the mode and every text, the trace text included.
    GetCalibrationDataCommand(const GetCalibrationDataCommand& other);
    ~GetCalibrationDataCommand() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // Keeps the first 14 bytes; a shorter reply leaves a bare line end as the data.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    QString traceText() const;
    // ";" and two upper-case hex digits per byte, then CR LF.
    QString calibrationData() const;
    uint8_t mode() const;

private:
    QString itsTraceText;
    QString itsCalibrationData;
    uint8_t itsMode;
};

#endif // ZYRAPP_COMMANDS_GETCALIBRATIONDATACOMMAND_H
