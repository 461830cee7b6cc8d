#ifndef ZYRCORE_COMMUNICATION_COMOBJECTHELPER_H
#define ZYRCORE_COMMUNICATION_COMOBJECTHELPER_H

#include "zyrcore_global.h"

#include <QString>

class QXmlStreamWriter;

namespace ZyrCore::Communication {

class IComObject;

// Big-endian value packing for com-object payloads, and the writer side of telegrams.
class ZYRCORE_EXPORT ComObjectHelper {
public:
    ComObjectHelper() = delete;

    // Writes the low size bytes (0, 1, 2 or 4) of value, most significant first.
    static bool serialize(unsigned char* buffer, unsigned int size, unsigned int value);
    // Reads size bytes (0, 1, 2 or 4), most significant first; value is untouched on failure.
    static bool deserialize(unsigned char* buffer, unsigned int size, unsigned int& value);

    // Starts the Telegram element with its four attributes and the optional Comment child.
    static void writeOpeningTag(IComObject* object, QXmlStreamWriter* writer,
                                unsigned char telegramType);
    static void writeClosingTag(QXmlStreamWriter* writer);
    static void writeValue(QXmlStreamWriter* xml, QString name, QString value, QString type,
                           bool outProperty);
    static void writeTextElementWithType(QXmlStreamWriter* writer, QString name, QString value,
                                         QString type);
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMOBJECTHELPER_H
