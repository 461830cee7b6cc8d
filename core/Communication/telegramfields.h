#ifndef ZYRCORE_COMMUNICATION_TELEGRAMFIELDS_H
#define ZYRCORE_COMMUNICATION_TELEGRAMFIELDS_H

#include "zyrcore_global.h"

#include <QString>

class QXmlStreamReader;
class QXmlStreamWriter;

namespace ZyrCore::Communication {

class IComObject;

// The pieces every com object's telegram form is built from: numbers as lower-case hexadecimal
// without prefix or leading zeros, bytes as two lower-case digits each.
namespace TelegramFields {

ZYRCORE_EXPORT QString hex(unsigned int value);
ZYRCORE_EXPORT QString hexBytes(const unsigned char* data, unsigned int size);

// Opens the Telegram element (any non-zero telegram type is a response) and the object's element.
ZYRCORE_EXPORT void beginTelegram(IComObject* object, QXmlStreamWriter* writer,
                                  unsigned int telegramType, const QString& elementName);
// Closes the object's element and the Telegram element.
ZYRCORE_EXPORT void endTelegram(QXmlStreamWriter* writer);

ZYRCORE_EXPORT void writeHex(QXmlStreamWriter* writer, const QString& name, unsigned int value);
// A result value: written only in responses, marked OutProperty="True".
ZYRCORE_EXPORT void writeOutHex(QXmlStreamWriter* writer, const QString& name, unsigned int value);

// A child that a hand-read element knows, and what reading found for it.
struct HexChild {
    QLatin1String name;
    unsigned int value = 0;
    bool present = false;
};

// Reads the children of the element the reader stands on, each as an unsigned 32-bit
// hexadecimal number, then goes on to the end of the enclosing element. Children not listed are
// read and ignored; blanks, comments and processing instructions between them are passed over.
// False at once when a listed child does not convert or appears twice; otherwise
// the result is whether the last child converted (false without children), and false for malformed
// XML or when another element follows this one.
ZYRCORE_EXPORT bool readHexChildren(QXmlStreamReader* reader, HexChild* children, int count);

} // namespace TelegramFields

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_TELEGRAMFIELDS_H
