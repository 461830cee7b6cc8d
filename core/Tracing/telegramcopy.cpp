#include "Tracing/telegramcopy.h"

#include "Tools/startelementcopy.h"

#include <QXmlStreamReader>

namespace ZyrCore::Tracing {

TelegramCopy::TelegramCopy()
    : itsWriter(&itsText) {
    itsWriter.setAutoFormatting(true);
}

void TelegramCopy::copy(const QXmlStreamReader& reader) {
    switch (reader.tokenType()) {
    case QXmlStreamReader::StartElement:
        copyStartElement(reader);
        break;
    case QXmlStreamReader::EndElement:
        itsWriter.writeEndElement();
        break;
    default:
        itsWriter.writeCurrentToken(reader);
        break;
    }
}

void TelegramCopy::copyStartElement(const QXmlStreamReader& reader) {
    Tools::writeStartElementAsRead(reader, reader.attributes(), &itsWriter);
}

} // namespace ZyrCore::Tracing
