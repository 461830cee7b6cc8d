#include "Tracing/telegramcopy.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace ZyrCore::Tracing {

namespace {

const QString kXmlPrefix = QStringLiteral("xml"); // bound without a declaration

QString declarationName(const QStringRef& prefix) {
    return prefix.isEmpty() ? QStringLiteral("xmlns") : QLatin1String("xmlns:") + prefix;
}

} // namespace

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
        if (!itsOpenElements.isEmpty())
            itsDeclaredPrefixes.resize(itsOpenElements.takeLast());
        itsWriter.writeEndElement();
        break;
    default:
        itsWriter.writeCurrentToken(reader);
        break;
    }
}

// Written by qualified name: the writer's own namespace handling would declare a name taken
// from around the telegram again on every element that uses it, under a prefix of its own.
void TelegramCopy::copyStartElement(const QXmlStreamReader& reader) {
    itsOpenElements.append(itsDeclaredPrefixes.size());
    const QXmlStreamNamespaceDeclarations declarations = reader.namespaceDeclarations();
    for (const QXmlStreamNamespaceDeclaration& declaration : declarations)
        itsDeclaredPrefixes.append(declaration.prefix().toString());
    if (!reader.namespaceUri().isEmpty())
        use(reader.prefix(), reader.namespaceUri());
    const QXmlStreamAttributes attributes = reader.attributes();
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (!attribute.namespaceUri().isEmpty())
            use(attribute.prefix(), attribute.namespaceUri());
    }

    itsWriter.writeStartElement(reader.qualifiedName().toString());
    if (itsTelegramNameEnd < 0)
        itsTelegramNameEnd = itsText.size();
    for (const QXmlStreamNamespaceDeclaration& declaration : declarations)
        itsWriter.writeAttribute(declarationName(declaration.prefix()),
                                 declaration.namespaceUri().toString());
    for (const QXmlStreamAttribute& attribute : attributes)
        itsWriter.writeAttribute(attribute.qualifiedName().toString(),
                                 attribute.value().toString());
}

void TelegramCopy::use(const QStringRef& prefix, const QStringRef& name) {
    if (prefix == kXmlPrefix ||
        std::find(itsDeclaredPrefixes.cbegin(), itsDeclaredPrefixes.cend(), prefix) !=
            itsDeclaredPrefixes.cend() ||
        std::any_of(itsFromAround.cbegin(), itsFromAround.cend(),
                    [&prefix](const Namespace& known) { return known.prefix == prefix; }))
        return;
    itsFromAround.append({prefix.toString(), name.toString()});
}

QString TelegramCopy::take() {
    if (itsFromAround.isEmpty() || itsTelegramNameEnd < 0)
        return std::move(itsText);
    // Laid out by a writer of their own, which escapes them as it escapes attribute values.
    QString declarations;
    {
        QXmlStreamWriter writer(&declarations);
        writer.writeEmptyElement(QStringLiteral("x"));
        for (const Namespace& used : qAsConst(itsFromAround))
            writer.writeAttribute(declarationName(QStringRef(&used.prefix)), used.name);
    }
    return itsText.insert(itsTelegramNameEnd, declarations.midRef(2));
}

} // namespace ZyrCore::Tracing
