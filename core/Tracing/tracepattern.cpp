#include "Tracing/tracepattern.h"

#include "Communication/telegramcontent.h"

#include <QXmlStreamReader>

namespace ZyrCore::Tracing {

bool tryGetTracePattern(const QString& telegram, unsigned int* pattern) {
    // As the command registry, a sink refuses before a reader sees it what would cost the reader
    // more than the text's size.
    if (!ZyrCore::Communication::TelegramContent::isWithinLimits(telegram))
        return false;
    QXmlStreamReader reader(telegram);
    readFirstToken(&reader);
    return tryGetStartTagPattern(reader, pattern);
}

bool tryGetStartTagPattern(const QXmlStreamReader& reader, unsigned int* pattern) {
    if (!reader.isStartElement() || reader.name() != QLatin1String("Telegram"))
        return false;
    const QStringRef trace = reader.attributes().value(QLatin1String("Trace"));
    if (trace.isNull())
        return false;
    bool parsed = false;
    const unsigned int value = trace.toUInt(&parsed, 16);
    if (!parsed)
        return false;
    *pattern = value;
    return true;
}

void readFirstToken(QXmlStreamReader* reader) {
    if (reader->readNext() == QXmlStreamReader::StartDocument)
        reader->readNext();
}

bool isCopiedToken(const QXmlStreamReader& reader) {
    switch (reader.tokenType()) {
    case QXmlStreamReader::StartDocument:
    case QXmlStreamReader::EndDocument:
    case QXmlStreamReader::Invalid:
    case QXmlStreamReader::NoToken:
        return false;
    case QXmlStreamReader::Characters:
        return !reader.isWhitespace();
    default:
        return true;
    }
}

} // namespace ZyrCore::Tracing
