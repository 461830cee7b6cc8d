#include "Tools/xmlmapper.h"

#include "Tools/zyrassert.h"

#include <QXmlStreamReader>

namespace ZyrCore::Tools {

namespace {
const char* const kSource = "Tools/xmlmapper";
}

XmlMapper::~XmlMapper() = default;

bool XmlMapper::addEntry(XmlMappingEntry entry) {
    if (findEntry(entry.name()) != nullptr)
        return false;
    itsEntries.push_back(std::make_unique<XmlMappingEntry>(std::move(entry)));
    return true;
}

XmlMappingEntry* XmlMapper::findEntry(QString name) {
    return findEntry(QStringRef(&name));
}

XmlMappingEntry* XmlMapper::findEntry(const QStringRef& name) {
    for (const auto& entry : itsEntries) {
        if (name == entry->name())
            return entry.get();
    }
    return nullptr;
}

bool XmlMapper::tryParse(QXmlStreamReader* xml) {
    ZYR_ASSERT_NOT_NULL(kSource, xml);
    xml->readNextStartElement();
    while (xml->isStartElement() || xml->isWhitespace()) {
        if (xml->isStartElement()) {
            // An entry leaves the reader on its element's end; without one the walk steps into
            // the element.
            if (XmlMappingEntry* entry = findEntry(xml->name()))
                entry->tryParse(xml);
        }
        xml->readNext();
    }
    xml->skipCurrentElement();

    for (const auto& entry : itsEntries) {
        if (!entry->isParsed() && !entry->isOptional())
            return false;
    }
    return true;
}

bool XmlMapper::tryParseStrictly(QXmlStreamReader* xml) {
    ZYR_ASSERT_NOT_NULL(kSource, xml);
    if (!xml->isStartElement())
        return false;
    // The walk of tryParse, counting open elements so that the end of the parent is known.
    int openDepth = 1;
    auto follow = [&] {
        if (xml->isStartElement())
            ++openDepth;
        else if (xml->isEndElement())
            --openDepth;
    };
    xml->readNextStartElement();
    follow();
    // Comments and processing instructions stand between children as blanks do.
    while (xml->isStartElement() || xml->isWhitespace() || xml->isComment() ||
           xml->isProcessingInstruction()) {
        if (xml->isStartElement()) {
            if (XmlMappingEntry* entry = findEntry(xml->name())) {
                if (entry->wasFound())
                    return false;
                entry->tryParse(xml);
                --openDepth; // on the child's end
            }
        }
        xml->readNext();
        follow();
    }
    if (!readToEnclosingEnd(xml, openDepth))
        return false;

    for (const auto& entry : itsEntries) {
        if (entry->wasFound() ? !entry->isParsed() : !entry->isOptional())
            return false;
    }
    return true;
}

bool XmlMapper::readToEnclosingEnd(QXmlStreamReader* xml, int openDepth) {
    ZYR_ASSERT_NOT_NULL(kSource, xml);
    while (openDepth >= 0 && !xml->hasError()) {
        switch (xml->readNext()) {
        case QXmlStreamReader::StartElement:
            if (openDepth == 0)
                return false;
            ++openDepth;
            break;
        case QXmlStreamReader::EndElement:
            --openDepth;
            break;
        case QXmlStreamReader::EndDocument: // the current element was the root
            return true;
        default:
            break;
        }
    }
    return !xml->hasError();
}

} // namespace ZyrCore::Tools
