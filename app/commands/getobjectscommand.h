#ifndef ZYRAPP_COMMANDS_GETOBJECTSCOMMAND_H
#define ZYRAPP_COMMANDS_GETOBJECTSCOMMAND_H

#include "Communication/serializablecomobject.h"
#include "commands/objectsresult.h"

#include <QString>

#include <cstdint>

// Reads the object the sensor found: a count (0 or 1) and its distance, confidence and photon
// counts.
class GetObjectsCommand : public ZyrCore::Communication::SerializableComObject {
public:
    static constexpr unsigned char commandId = 2;

    GetObjectsCommand();
    // A copy takes the count and the result; its trace text is empty.
    GetObjectsCommand(const GetObjectsCommand& other);
    ~GetObjectsCommand() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // Decodes the first 17 bytes; a shorter reply leaves the fields as they were.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    QString traceText() const;
    uint8_t objectCount() const;
    ObjectsResult result() const;

private:
    uint8_t itsObjectCount = 0;
    ObjectsResult itsResult;
    QString itsTraceText;
};

#endif // ZYRAPP_COMMANDS_GETOBJECTSCOMMAND_H
