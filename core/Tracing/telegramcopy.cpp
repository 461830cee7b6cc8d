#include "Tracing/telegramcopy.h"

#include "Tools/startelementcopy.h"

#include <QXmlStreamReader>

namespace ZyrCore::Tracing {

TelegramCopy::TelegramCopy()
    : itsWriter(&itsText) {
    itsWriter.setAutoFormatting(true);
}

namespace {

// Layout the copy of a small telegram may add whatever the telegram's size.
constexpr qint64 kLayoutAllowance = 4096;

} // namespace

void TelegramCopy::copy(const QXmlStreamReader& reader) {
    if (itsStartOffset < 0)
        itsStartOffset = reader.characterOffset();
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
    const qint64 telegramSize = reader.characterOffset() - itsStartOffset;
    if (itsWriter.autoFormatting() && itsText.size() > telegramSize + kLayoutAllowance)
        itsWriter.setAutoFormatting(false);
}

void TelegramCopy::copyStartElement(const QXmlStreamReader& reader) {
    Tools::writeStartElementAsRead(reader, reader.attributes(), &itsWriter);
}

} // namespace ZyrCore::Tracing
