#include "Tools/startelementcopy.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace ZyrCore::Tools {

void writeStartElementAsRead(const QXmlStreamReader& reader, const QXmlStreamAttributes& attributes,
                             QXmlStreamWriter* writer) {
    writer->writeStartElement(reader.qualifiedName().toString());
    const QXmlStreamNamespaceDeclarations declarations = reader.namespaceDeclarations();
    for (const QXmlStreamNamespaceDeclaration& declaration : declarations) {
        const QString name = declaration.prefix().isEmpty()
                                 ? QStringLiteral("xmlns")
                                 : QStringLiteral("xmlns:") + declaration.prefix();
        writer->writeAttribute(name, declaration.namespaceUri().toString());
    }
    for (const QXmlStreamAttribute& attribute : attributes)
        writer->writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
}

} // namespace ZyrCore::Tools
