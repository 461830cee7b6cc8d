#ifndef ZYRCORE_TOOLS_XMLMAPPINGENTRY_H
#define ZYRCORE_TOOLS_XMLMAPPINGENTRY_H

#include "zyrcore_global.h"

#include <QString>

class QXmlStreamReader;

namespace ZyrCore::Tools {

// Maps one child element onto a variable of the caller: an unsigned integer of 8, 16, 32 or 64
// bits, or a byte buffer written as digit pairs. Targets are not owned.
class ZYRCORE_EXPORT XmlMappingEntry {
public:
    XmlMappingEntry(QString name, unsigned char* valueRefInt8, int base, bool optional);
    XmlMappingEntry(QString name, unsigned short* valueRefInt16, int base, bool optional);
    XmlMappingEntry(QString name, unsigned int* valueRefInt32, int base, bool optional);
    XmlMappingEntry(QString name, unsigned long long* valueRefInt64, int base, bool optional);
    // buffer points at the caller's buffer pointer; capacity is that buffer's size in bytes.
    XmlMappingEntry(QString name, unsigned char** buffer, unsigned int capacity, int base,
                    bool optional);
    XmlMappingEntry(const XmlMappingEntry&) = default;
    XmlMappingEntry& operator=(const XmlMappingEntry&) = default;
    virtual ~XmlMappingEntry() = default;

    // Reads the element the reader stands on into the target and leaves the reader on its end.
    // Integers convert within the unsigned 32-bit range, the range the telegram writers use; a
    // failed conversion stores 0. A byte text longer than the capacity, or a missing buffer,
    // changes nothing and fails.
    bool tryParse(QXmlStreamReader* xml);

    // The integer target's width, or the number of bytes the last parse stored in the buffer.
    unsigned int bytesActuallyRead() const;

    QString name() const { return itsName; }
    bool isOptional() const { return itsOptional; }
    // The result of the last tryParse.
    bool isParsed() const { return itsParsed; }
    // Whether tryParse ever met this entry's element.
    bool wasFound() const { return itsFound; }

private:
    XmlMappingEntry(QString name, int base, bool optional);
    bool parseInteger(const QString& text);
    bool parseBytes(const QString& text);

    QString itsName;
    unsigned char* itsInt8 = nullptr;
    unsigned short* itsInt16 = nullptr;
    unsigned int* itsInt32 = nullptr;
    unsigned long long* itsInt64 = nullptr;
    unsigned char** itsBuffer = nullptr;
    unsigned int itsCapacity = 0;
    int itsBase;
    unsigned int itsBytesRead = 0;
    bool itsParsed = false;
    bool itsOptional;
    bool itsFound = false;
};

} // namespace ZyrCore::Tools

#endif // ZYRCORE_TOOLS_XMLMAPPINGENTRY_H
