#ifndef ZYRCORE_TOOLS_XMLMAPPER_H
#define ZYRCORE_TOOLS_XMLMAPPER_H

#include "Tools/xmlmappingentry.h"

#include <memory>
#include <vector>

namespace ZyrCore::Tools {

// Reads the child elements of one element into the caller's variables, one registered entry per
// child name.
class ZYRCORE_EXPORT XmlMapper {
public:
    XmlMapper() = default;
    XmlMapper(const XmlMapper&) = delete;
    XmlMapper& operator=(const XmlMapper&) = delete;
    virtual ~XmlMapper();

    // Stores a copy; false and no change when the name is taken.
    bool addEntry(XmlMappingEntry entry);
    XmlMappingEntry* findEntry(QString name);

    // Called on the parent's start element (or before it): walks its children, parses the mapped
    // ones and skips once past the current element's end. True when every required entry has
    // parsed. An unmapped child that holds text, or is empty, ends the walk; one that holds only
    // blanks and elements is walked into as if its children were the parent's.
    bool tryParse(QXmlStreamReader* xml);

    // tryParse for one element of a telegram, called on its start element, passing over comments
    // and processing instructions as blanks: also false when the XML is malformed, a mapped child
    // appears twice, an optional child is present but does not parse, or another element follows
    // this one inside the enclosing element. Leaves the reader on the enclosing element's end.
    // Entries remember what they met, so use a fresh mapper for each element.
    bool tryParseStrictly(QXmlStreamReader* xml);

    // Reads on to the end of the element that encloses the current one; openDepth counts the
    // elements still open from the current one down (0 on its end element). False on malformed
    // XML or when another element follows the current one.
    static bool readToEnclosingEnd(QXmlStreamReader* xml, int openDepth);

private:
    XmlMappingEntry* findEntry(const QStringRef& name);

    // A handful of entries: a linear search beats hashing the element names.
    std::vector<std::unique_ptr<XmlMappingEntry>> itsEntries;
};

} // namespace ZyrCore::Tools

#endif // ZYRCORE_TOOLS_XMLMAPPER_H
