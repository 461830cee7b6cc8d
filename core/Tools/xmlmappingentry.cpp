#include "Tools/xmlmappingentry.h"

#include "Tools/zyrassert.h"

#include <QXmlStreamReader>

namespace ZyrCore::Tools {

namespace {
const char* const kSource = "Tools/xmlmappingentry";

// The value of one digit in the base, or -1; stricter than toInt, which also takes signs and
// surrounding blanks.
int digitValue(QChar character, int base) {
    const ushort c = character.unicode();
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'z')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'Z')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}
} // namespace

XmlMappingEntry::XmlMappingEntry(QString name, int base, bool optional)
    : itsName(std::move(name))
    , itsBase(base)
    , itsOptional(optional) {}

XmlMappingEntry::XmlMappingEntry(QString name, unsigned char* valueRefInt8, int base, bool optional)
    : XmlMappingEntry(std::move(name), base, optional) {
    ZYR_ASSERT_NOT_NULL(kSource, valueRefInt8);
    itsInt8 = valueRefInt8;
}

XmlMappingEntry::XmlMappingEntry(QString name, unsigned short* valueRefInt16, int base,
                                 bool optional)
    : XmlMappingEntry(std::move(name), base, optional) {
    ZYR_ASSERT_NOT_NULL(kSource, valueRefInt16);
    itsInt16 = valueRefInt16;
}

XmlMappingEntry::XmlMappingEntry(QString name, unsigned int* valueRefInt32, int base, bool optional)
    : XmlMappingEntry(std::move(name), base, optional) {
    ZYR_ASSERT_NOT_NULL(kSource, valueRefInt32);
    itsInt32 = valueRefInt32;
}

XmlMappingEntry::XmlMappingEntry(QString name, unsigned long long* valueRefInt64, int base,
                                 bool optional)
    : XmlMappingEntry(std::move(name), base, optional) {
    itsInt64 = valueRefInt64;
}

XmlMappingEntry::XmlMappingEntry(QString name, unsigned char** buffer, unsigned int capacity,
                                 int base, bool optional)
    : XmlMappingEntry(std::move(name), base, optional) {
    itsBuffer = buffer;
    itsCapacity = capacity;
}

bool XmlMappingEntry::tryParse(QXmlStreamReader* xml) {
    ZYR_ASSERT_NOT_NULL(kSource, xml);
    if (!xml->isStartElement() || xml->isWhitespace())
        return false;
    itsFound = true;
    const QString text = xml->readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    if (xml->hasError()) {
        itsParsed = false;
        return false;
    }
    if (itsBuffer != nullptr)
        return parseBytes(text);
    return parseInteger(text);
}

bool XmlMappingEntry::parseInteger(const QString& text) {
    // The writers write unsigned 32-bit values, so that is the range read back.
    bool converted = false;
    const unsigned int value = text.toUInt(&converted, itsBase);
    if (itsInt8 != nullptr)
        *itsInt8 = static_cast<unsigned char>(value);
    else if (itsInt16 != nullptr)
        *itsInt16 = static_cast<unsigned short>(value);
    else if (itsInt32 != nullptr)
        *itsInt32 = value;
    else if (itsInt64 != nullptr)
        *itsInt64 = value;
    else
        converted = false; // an entry without a target cannot take a value
    itsParsed = converted;
    return itsParsed;
}

bool XmlMappingEntry::parseBytes(const QString& text) {
    unsigned char* buffer = *itsBuffer;
    if (buffer == nullptr || static_cast<qint64>(text.size()) > 2 * qint64(itsCapacity)) {
        itsParsed = false;
        return false;
    }
    const unsigned int count = static_cast<unsigned int>(text.size()) / 2;
    itsParsed = true;
    itsBytesRead = count;
    for (unsigned int i = 0; i < count; ++i) {
        const int high = digitValue(text.at(static_cast<int>(2 * i)), itsBase);
        const int low = digitValue(text.at(static_cast<int>(2 * i + 1)), itsBase);
        if (high < 0 || low < 0) {
            buffer[i] = 0;
            itsParsed = false;
            continue;
        }
        buffer[i] = static_cast<unsigned char>(high * itsBase + low);
    }
    return itsParsed;
}

unsigned int XmlMappingEntry::bytesActuallyRead() const {
    if (itsInt8 != nullptr)
        return 1;
    if (itsInt16 != nullptr)
        return 2;
    if (itsInt32 != nullptr)
        return 4;
    if (itsInt64 != nullptr)
        return 8;
    return itsBuffer != nullptr ? itsBytesRead : 0;
}

} // namespace ZyrCore::Tools
