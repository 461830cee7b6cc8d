#include "Communication/telegramfields.h"

#include "Communication/comobjecthelper.h"
#include "Tools/xmlmapper.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace ZyrCore::Communication::TelegramFields {

QString hex(unsigned int value) {
    return QString::number(value, 16);
}

QString hexBytes(const unsigned char* data, unsigned int size) {
    static const char digits[] = "0123456789abcdef";
    QString text(static_cast<int>(2 * size), Qt::Uninitialized);
    QChar* out = text.data();
    for (unsigned int i = 0; i < size; ++i) {
        *out++ = QLatin1Char(digits[data[i] >> 4]);
        *out++ = QLatin1Char(digits[data[i] & 0x0F]);
    }
    return text;
}

void beginTelegram(IComObject* object, QXmlStreamWriter* writer, unsigned int telegramType,
                   const QString& elementName) {
    ComObjectHelper::writeOpeningTag(object, writer, telegramType == 0 ? 0 : 1);
    writer->writeStartElement(elementName);
}

void endTelegram(QXmlStreamWriter* writer) {
    writer->writeEndElement();
    ComObjectHelper::writeClosingTag(writer);
}

void writeHex(QXmlStreamWriter* writer, const QString& name, unsigned int value) {
    writer->writeTextElement(name, hex(value));
}

void writeOutHex(QXmlStreamWriter* writer, const QString& name, unsigned int value) {
    ComObjectHelper::writeValue(writer, name, hex(value), QString(), true);
}

bool readHexChildren(QXmlStreamReader* reader, HexChild* children, int count) {
    bool parsed = false;
    reader->readNext();
    // Comments and processing instructions stand between children as blanks do.
    while (reader->isStartElement() || reader->isWhitespace() || reader->isComment() ||
           reader->isProcessingInstruction()) {
        if (reader->isStartElement()) {
            const QString text =
                reader->readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            if (reader->hasError())
                return false;
            const unsigned int value = text.toUInt(&parsed, 16);
            // The reader now stands on the child's end element, which carries its name.
            HexChild* const end = children + count;
            HexChild* child = std::find_if(children, end, [reader](const HexChild& known) {
                return reader->name() == known.name;
            });
            if (child != end) {
                if (!parsed || child->present)
                    return false;
                child->value = value;
                child->present = true;
            }
        }
        reader->readNext();
    }
    // The walk ends on the element's own end unless something else stopped it.
    const int openDepth = reader->isEndElement() ? 0 : 1;
    return ZyrCore::Tools::XmlMapper::readToEnclosingEnd(reader, openDepth) && parsed;
}

} // namespace ZyrCore::Communication::TelegramFields
