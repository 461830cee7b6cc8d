#ifndef ZYRAPP_COMMANDS_GETSERIALNUMBERCOMMAND_H
#define ZYRAPP_COMMANDS_GETSERIALNUMBERCOMMAND_H

#include "Communication/serializablecomobject.h"

#include <QString>

// Reads the module's serial number, firmware revisions and chip identification.
class GetSerialNumberCommand : public ZyrCore::Communication::SerializableComObject {
public:
    static constexpr unsigned char commandId = 8;

    GetSerialNumberCommand();
    // A copy takes every text, the trace text included.
    GetSerialNumberCommand(const GetSerialNumberCommand& other);
    ~GetSerialNumberCommand() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // Decodes the first 14 bytes; a shorter reply leaves the texts as they were.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    QString traceText() const;
    QString serialNumber() const;   // four hex groups joined by "-"
    QString app0Revision() const;   // four decimal numbers joined by "."
    QString driverRevision() const; // four decimal numbers joined by "."
    QString chipId() const;
    QString chipRevision() const;

private:
    QString itsTraceText;
    QString itsSerialNumber;
    QString itsApp0Revision;
    QString itsDriverRevision;
    QString itsChipId;
    QString itsChipRevision;
};

#endif // ZYRAPP_COMMANDS_GETSERIALNUMBERCOMMAND_H
