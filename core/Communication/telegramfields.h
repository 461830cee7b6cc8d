#ifndef ZYRCORE_COMMUNICATION_TELEGRAMFIELDS_H
#define ZYRCORE_COMMUNICATION_TELEGRAMFIELDS_H

#include "zyrcore_global.h"

#include <QString>

#include <functional>

class QStringRef;
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

// Called for each child: its name, its text as a signed 32-bit hexadecimal number and whether the
// text converted. Returning false ends the reading with failure.
using HexChildVisitor = std::function<bool(const QStringRef& name, int value, bool converted)>;

// Reads the children of the element the reader stands on, then skips to the end of the enclosing
// element. True when the last child converted, the visitor accepted every child and the XML was
// well formed; false for an element without children.
ZYRCORE_EXPORT bool readHexChildren(QXmlStreamReader* reader, const HexChildVisitor& visit);

} // namespace TelegramFields

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_TELEGRAMFIELDS_H
