#include "Tracing/telegramlayout.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace ZyrCore::Tracing {

namespace {

constexpr int kIndent = 4;

bool isPlain(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

} // namespace

TelegramLayout::TelegramLayout()
    : itsElementNames({QStringLiteral("LogData")}) {}

bool TelegramLayout::copy(const QXmlStreamReader& reader) {
    switch (reader.tokenType()) {
    case QXmlStreamReader::StartElement: {
        if (!reader.namespaceUri().isEmpty() || !reader.namespaceDeclarations().isEmpty() ||
            !isPlain(reader.qualifiedName()))
            return false;
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute& attribute : attributes) {
            if (!attribute.namespaceUri().isEmpty() || !isPlain(attribute.qualifiedName()) ||
                !isPlain(attribute.value()))
                return false;
        }
        if (!finishStartElement(false))
            indent(itsOpenElements);
        itsText += QLatin1Char('<');
        itsText += reader.qualifiedName();
        for (const QXmlStreamAttribute& attribute : attributes) {
            itsText += QLatin1Char(' ');
            itsText += attribute.qualifiedName();
            itsText += QLatin1String("=\"");
            appendEscaped(attribute.value());
            itsText += QLatin1Char('"');
        }
        if (itsOpenElements == itsElementNames.size())
            itsElementNames.append(QString());
        QString& name = itsElementNames[itsOpenElements++];
        name.truncate(0);
        name += reader.qualifiedName();
        itsInStartElement = itsLastWasStartElement = true;
        return true;
    }
    case QXmlStreamReader::EndElement:
        endElement();
        return true;
    case QXmlStreamReader::Characters: {
        if (reader.isCDATA() || !isPlain(reader.text()))
            return false;
        finishStartElement(true);
        appendEscaped(reader.text());
        return true;
    }
    default:
        return false;
    }
}

void TelegramLayout::endElement() {
    if (itsOpenElements == 0)
        return;
    // An element with nothing in it closes as an empty tag.
    if (itsInStartElement) {
        itsText += QLatin1String("/>");
        itsLastWasStartElement = itsInStartElement = false;
        --itsOpenElements;
        return;
    }
    if (!finishStartElement(false) && !itsLastWasStartElement)
        indent(itsOpenElements - 1);
    itsLastWasStartElement = false;
    itsText += QLatin1String("</");
    itsText += itsElementNames.at(--itsOpenElements);
    itsText += QLatin1Char('>');
}

TelegramLayout::Mark TelegramLayout::mark() const {
    return {itsText.size(), itsOpenElements, itsInStartElement, itsWroteSomething,
            itsLastWasStartElement};
}

void TelegramLayout::rewind(const Mark& mark) {
    itsText.truncate(mark.textSize);
    itsOpenElements = mark.openElements;
    itsInStartElement = mark.inStartElement;
    itsWroteSomething = mark.wroteSomething;
    itsLastWasStartElement = mark.lastWasStartElement;
}

void TelegramLayout::appendTelegram(const QString& laidOut) {
    itsText += laidOut;
    itsInStartElement = itsWroteSomething = itsLastWasStartElement = false;
}

QByteArray TelegramLayout::takeUtf8() {
    const QByteArray bytes = itsText.toUtf8();
    itsText.truncate(0); // keeps the room for the next telegram
    return bytes;
}

bool TelegramLayout::finishStartElement(bool contents) {
    const bool hadSomethingWritten = itsWroteSomething;
    itsWroteSomething = contents;
    if (itsInStartElement) {
        itsText += QLatin1Char('>');
        itsInStartElement = false;
    }
    return hadSomethingWritten;
}

void TelegramLayout::indent(int level) {
    const int start = itsText.size();
    itsText.resize(start + 1 + level * kIndent);
    QChar* out = itsText.data() + start;
    *out = QLatin1Char('\n');
    std::fill(out + 1, itsText.data() + itsText.size(), QLatin1Char(' '));
}

void TelegramLayout::appendEscaped(QStringView text) {
    for (QChar c : text) {
        switch (c.unicode()) {
        case '<':
            itsText += QLatin1String("&lt;");
            break;
        case '>':
            itsText += QLatin1String("&gt;");
            break;
        case '&':
            itsText += QLatin1String("&amp;");
            break;
        case '"':
            itsText += QLatin1String("&quot;");
            break;
        default:
            itsText += c;
            break;
        }
    }
}

} // namespace ZyrCore::Tracing
