#include "Tracing/telegramlayout.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace ZyrCore::Tracing {

namespace {

constexpr int kIndent = 4;

// The reference every text and value writes '<' and '&' as; an empty text for any other
// character.
QLatin1String markupReference(QChar c) {
    switch (c.unicode()) {
    case '<':
        return QLatin1String("&lt;");
    case '&':
        return QLatin1String("&amp;");
    default:
        return QLatin1String();
    }
}

bool isPlain(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

} // namespace

TelegramLayout::TelegramLayout(Start start) {
    if (start == Start::InRoot) {
        itsElementNames.append(QStringLiteral("LogData"));
    } else {
        // As a writer that has written nothing.
        itsOpenElements = 0;
        itsWroteSomething = itsLastWasStartElement = false;
    }
}

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
        openStartTag(reader.qualifiedName());
        for (const QXmlStreamAttribute& attribute : attributes) {
            itsText += QLatin1Char(' ');
            itsText += attribute.qualifiedName();
            itsText += QLatin1String("=\"");
            appendEscaped(attribute.value());
            itsText += QLatin1Char('"');
        }
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

void TelegramLayout::copyAsRead(const QXmlStreamReader& reader) {
    switch (reader.tokenType()) {
    case QXmlStreamReader::StartElement: {
        openStartTag(reader.qualifiedName());
        const QXmlStreamNamespaceDeclarations declarations = reader.namespaceDeclarations();
        for (const QXmlStreamNamespaceDeclaration& declaration : declarations) {
            const QString name = declaration.prefix().isEmpty()
                                     ? QStringLiteral("xmlns")
                                     : QStringLiteral("xmlns:") + declaration.prefix();
            appendAttributeAsRead(name, declaration.namespaceUri());
        }
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute& attribute : attributes)
            appendAttributeAsRead(attribute.qualifiedName(), attribute.value());
        break;
    }
    case QXmlStreamReader::EndElement:
        endElement();
        break;
    case QXmlStreamReader::Characters:
        finishStartElement(true);
        if (reader.isCDATA()) {
            itsText += QLatin1String("<![CDATA[");
            itsText += reader.text();
            itsText += QLatin1String("]]>");
        } else {
            appendTextAsRead(reader.text());
        }
        break;
    case QXmlStreamReader::Comment:
        beginMarkup();
        itsText += QLatin1String("<!--");
        itsText += reader.text();
        itsText += QLatin1String("-->");
        break;
    case QXmlStreamReader::ProcessingInstruction:
        beginMarkup();
        itsText += QLatin1String("<?");
        itsText += reader.processingInstructionTarget();
        if (!reader.processingInstructionData().isEmpty()) {
            itsText += QLatin1Char(' ');
            itsText += reader.processingInstructionData();
        }
        itsText += QLatin1String("?>");
        break;
    case QXmlStreamReader::EntityReference:
        finishStartElement(true);
        itsText += QLatin1Char('&');
        itsText += reader.name();
        itsText += QLatin1Char(';');
        break;
    default: // the document's start and end, a document type: no part of a telegram
        break;
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
    if (!finishStartElement(false) && !itsLastWasStartElement && itsAutoFormatting)
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

QString TelegramLayout::takeText() {
    itsText.squeeze();
    return std::move(itsText);
}

void TelegramLayout::openStartTag(QStringView qualifiedName) {
    if (!finishStartElement(false) && itsAutoFormatting)
        indent(itsOpenElements);
    itsText += QLatin1Char('<');
    itsText += qualifiedName;
    if (itsOpenElements == itsElementNames.size())
        itsElementNames.append(QString());
    QString& name = itsElementNames[itsOpenElements++];
    name.truncate(0);
    name += qualifiedName;
    itsInStartElement = itsLastWasStartElement = true;
}

void TelegramLayout::beginMarkup() {
    if (!finishStartElement(false) && itsAutoFormatting)
        indent(itsOpenElements);
    itsLastWasStartElement = false;
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

template <typename Reference>
void TelegramLayout::appendWith(QStringView text, Reference reference) {
    for (QChar c : text) {
        const QLatin1String written = reference(c);
        if (written.size() == 0)
            itsText += c;
        else
            itsText += written;
    }
}

void TelegramLayout::appendEscaped(QStringView text) {
    appendWith(text, [this](QChar c) {
        switch (c.unicode()) {
        case '>':
            ++itsLengthened;
            return QLatin1String("&gt;");
        case '"':
            ++itsLengthened;
            return QLatin1String("&quot;");
        default:
            return markupReference(c);
        }
    });
}

// Only what XML asks: '<' and '&' always, '>' after "]]", where it would end a CDATA section,
// and a carriage return, which a reader takes raw for a line break. A reader got each of these
// characters from a reference at least as long.
void TelegramLayout::appendTextAsRead(QStringView text) {
    appendWith(text, [this](QChar c) {
        if (c == QLatin1Char('>') && itsText.endsWith(QLatin1String("]]")))
            return QLatin1String("&gt;");
        return c == QLatin1Char('\r') ? QLatin1String("&#13;") : markupReference(c);
    });
}

// In the quote the value holds fewer of, so that no more of them need references than the text
// read held. Blanks other than spaces keep references: a reader turns raw ones into spaces.
void TelegramLayout::appendAttributeAsRead(QStringView name, QStringView value) {
    const bool singleQuoted = value.count(QLatin1Char('\'')) < value.count(QLatin1Char('"'));
    const QChar quote = QLatin1Char(singleQuoted ? '\'' : '"');
    itsText += QLatin1Char(' ');
    itsText += name;
    itsText += QLatin1Char('=');
    itsText += quote;
    appendWith(value, [quote, singleQuoted](QChar c) {
        switch (c.unicode()) {
        case '\t':
            return QLatin1String("&#9;");
        case '\n':
            return QLatin1String("&#10;");
        case '\r':
            return QLatin1String("&#13;");
        default:
            if (c == quote)
                return QLatin1String(singleQuoted ? "&#39;" : "&#34;");
            return markupReference(c);
        }
    });
    itsText += quote;
}

} // namespace ZyrCore::Tracing
