#include "Tracing/telegramcopy.h"

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

// Written by qualified name: the writer's own namespace handling makes prefixes up and declares
// a default namespace a second time under its made-up prefix.
void TelegramCopy::copyStartElement(const QXmlStreamReader& reader) {
    itsWriter.writeStartElement(reader.qualifiedName().toString());
    const QXmlStreamNamespaceDeclarations declarations = reader.namespaceDeclarations();
    for (const QXmlStreamNamespaceDeclaration& declaration : declarations) {
        const QString name = declaration.prefix().isEmpty()
                                 ? QStringLiteral("xmlns")
                                 : QStringLiteral("xmlns:") + declaration.prefix();
        itsWriter.writeAttribute(name, declaration.namespaceUri().toString());
    }
    const QXmlStreamAttributes attributes = reader.attributes();
    for (const QXmlStreamAttribute& attribute : attributes)
        itsWriter.writeAttribute(attribute.qualifiedName().toString(),
                                 attribute.value().toString());
}

} // namespace ZyrCore::Tracing
