#include "Communication/streamflushobject.h"

#include "Communication/comobjecthelper.h"
#include "Tools/zyrassert.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/streamflushobject";
}

StreamFlushObject::StreamFlushObject()
    : SerializableComObject(flushProtocol, 0, 0, FireAndForget, flushTracePattern) {}

bool StreamFlushObject::serialize(unsigned char*, unsigned int) {
    return true;
}

bool StreamFlushObject::deserialize(unsigned char*, unsigned int) {
    ZYR_ASSERT(kSource, false, "StreamFlushObject has no result. Deserialize not supported.");
}

IComObject* StreamFlushObject::clone() {
    return new StreamFlushObject(*this);
}

bool StreamFlushObject::xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) {
    if (writer == nullptr)
        return false;
    ComObjectHelper::writeOpeningTag(this, writer, telegramType == 0 ? 0 : 1);
    writer->writeEmptyElement(QStringLiteral("StreamFlush"));
    ComObjectHelper::writeClosingTag(writer);
    return true;
}

bool StreamFlushObject::xmlDeserialize(QXmlStreamReader* reader) {
    if (reader == nullptr)
        return false;
    reader->skipCurrentElement();
    return true;
}

} // namespace ZyrCore::Communication
