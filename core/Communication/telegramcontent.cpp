#include "Communication/telegramcontent.h"

#include "Tools/markupoutline.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace ZyrCore::Communication {

namespace {
const QString kTelegram = QStringLiteral("Telegram");
const QString kComment = QStringLiteral("Comment");

// Tokens that may stand anywhere between elements without meaning anything.
bool isIgnorable(const QXmlStreamReader& reader) {
    return reader.isWhitespace() || reader.isComment() || reader.isProcessingInstruction() ||
           reader.isStartDocument() || reader.isEndDocument();
}
} // namespace

TelegramContent::ObjectToken TelegramContent::objectToken(const QXmlStreamReader& reader,
                                                          bool inValue) {
    switch (reader.tokenType()) {
    case QXmlStreamReader::StartElement:
        return ObjectToken::ValueStart;
    case QXmlStreamReader::EndElement:
        return ObjectToken::End;
    case QXmlStreamReader::Characters:
        if (inValue)
            return ObjectToken::ValueText;
        return reader.isWhitespace() ? ObjectToken::Ignored : ObjectToken::Refused;
    case QXmlStreamReader::Comment:
    case QXmlStreamReader::ProcessingInstruction:
        return ObjectToken::Ignored;
    default:
        return ObjectToken::Refused;
    }
}

bool TelegramContent::isWithinLimits(const QString& telegram) {
    return Tools::MarkupOutline::isWithinLimits(telegram.constData(), telegram.size(),
                                                Tools::maxTelegramDepth);
}

bool TelegramContent::read(const QString& telegram) {
    if (!isWithinLimits(telegram))
        return false;
    QXmlStreamReader reader(telegram);
    return readHeader(reader) && readValues(reader) && readTrailer(reader);
}

bool TelegramContent::readElement(QXmlStreamReader& reader) {
    if (!readHeader(reader) || itsObjectName == kTelegram || !readValues(reader) ||
        std::any_of(itsValues.cbegin(), itsValues.cend(),
                    [](const Value& value) { return value.name == kTelegram; }))
        return false;
    // Up to the end of the Telegram element, the only one still open.
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement())
            return true;
        if (!isIgnorable(reader))
            return false;
    }
    return false;
}

bool TelegramContent::readHeader(QXmlStreamReader& reader) {
    *this = TelegramContent();
    // Up to the root, which must be Telegram.
    while (!reader.isStartElement()) {
        reader.readNext();
        if (reader.hasError() || (!reader.isStartElement() && !isIgnorable(reader)))
            return false;
    }
    if (reader.name() != kTelegram)
        return false;
    itsAttributes = reader.attributes();

    bool commentAllowed = true;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (commentAllowed && reader.name() == kComment) {
                itsComment = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
                commentAllowed = false;
                continue;
            }
            itsObjectName = reader.name().toString();
            return true;
        }
        if (!isIgnorable(reader))
            return false;
    }
    return false;
}

bool TelegramContent::readTrailer(QXmlStreamReader& reader) {
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isEndElement() && !isIgnorable(reader))
            return false;
    }
    return !reader.hasError();
}

bool TelegramContent::readValues(QXmlStreamReader& reader) {
    int openValue = -1; // the value whose text is being read, until the next tag
    int depth = 2;      // the Telegram element and the object's
    while (depth > 1) {
        reader.readNext();
        switch (objectToken(reader, openValue >= 0)) {
        case ObjectToken::ValueStart: {
            if (++depth > Tools::maxTelegramDepth)
                return false;
            const QStringRef name = reader.name();
            // At most maxValueCount values, so the search for a repeated name stays short.
            if (itsValues.size() >= maxValueCount ||
                std::any_of(itsValues.cbegin(), itsValues.cend(),
                            [&name](const Value& value) { return name == value.name; }))
                return false;
            Value value;
            value.name = name.toString();
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute& attribute : attributes) {
                if (attribute.name() == QLatin1String("type")) {
                    value.type = attribute.value().toString();
                    value.hasType = true;
                } else if (attribute.name() == QLatin1String("OutProperty"))
                    value.out = true;
            }
            itsValues.append(std::move(value));
            openValue = itsValues.size() - 1;
            break;
        }
        case ObjectToken::End:
            --depth;
            openValue = -1;
            break;
        case ObjectToken::ValueText:
            itsValues[openValue].text += reader.text();
            break;
        case ObjectToken::Ignored:
            break;
        case ObjectToken::Refused:
            return false;
        }
    }
    return true;
}

bool TelegramContent::hasAttribute(const QString& name) const {
    return itsAttributes.hasAttribute(name);
}

QString TelegramContent::attribute(const QString& name) const {
    return itsAttributes.value(name).toString();
}

} // namespace ZyrCore::Communication
