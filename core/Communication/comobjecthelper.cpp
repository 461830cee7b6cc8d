#include "Communication/comobjecthelper.h"

#include "Communication/icomobject.h"
#include "Communication/iserializable.h"
#include "Tools/zyrassert.h"

#include <QXmlStreamWriter>

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/comobjecthelper";

QString callingTypeName(IComObject::CallingType callingType) {
    switch (callingType) {
    case IComObject::FireAndForget:
        return QStringLiteral("FireAndForget");
    case IComObject::RequestAndResponse:
        return QStringLiteral("RequestAndResponse");
    }
    return QStringLiteral("Unknown");
}
} // namespace

bool ComObjectHelper::serialize(unsigned char* buffer, unsigned int size, unsigned int value) {
    if (buffer == nullptr)
        return false;
    switch (size) {
    case 0:
        return true;
    case 1:
    case 2:
    case 4:
        for (unsigned int i = 0; i < size; ++i)
            buffer[i] = static_cast<unsigned char>(value >> (8 * (size - 1 - i)));
        return true;
    default:
        return false;
    }
}

bool ComObjectHelper::deserialize(unsigned char* buffer, unsigned int size, unsigned int& value) {
    if (buffer == nullptr)
        return false;
    switch (size) {
    case 0:
        return true;
    case 1:
    case 2:
    case 4: {
        unsigned int result = 0;
        for (unsigned int i = 0; i < size; ++i)
            result = (result << 8) | buffer[i];
        value = result;
        return true;
    }
    default:
        return false;
    }
}

void ComObjectHelper::writeOpeningTag(IComObject* object, QXmlStreamWriter* writer,
                                      unsigned char telegramType) {
    if (writer == nullptr)
        return;
    ZYR_ASSERT_NOT_NULL(kSource, object);

    auto* serializable = dynamic_cast<ISerializable*>(object);
    const unsigned int protocol = serializable != nullptr ? serializable->protocol() : 0;

    writer->writeStartElement(QStringLiteral("Telegram"));
    writer->writeAttribute(QStringLiteral("Pid"), QString::number(protocol, 16));
    writer->writeAttribute(QStringLiteral("CallingType"), callingTypeName(object->callingType()));
    writer->writeAttribute(QStringLiteral("TelegramType"), telegramType == 0
                                                               ? QStringLiteral("Request")
                                                               : QStringLiteral("Response"));
    writer->writeAttribute(QStringLiteral("Trace"),
                           QStringLiteral("%1").arg(object->tracePattern(), 8, 16, QChar('0')));
    const QString comment = object->getComment();
    if (!comment.isEmpty())
        writer->writeTextElement(QStringLiteral("Comment"), comment);
}

void ComObjectHelper::writeClosingTag(QXmlStreamWriter* writer) {
    if (writer != nullptr)
        writer->writeEndElement();
}

void ComObjectHelper::writeValue(QXmlStreamWriter* xml, QString name, QString value, QString type,
                                 bool outProperty) {
    ZYR_ASSERT_NOT_NULL(kSource, xml);
    xml->writeStartElement(name);
    if (!type.isEmpty())
        xml->writeAttribute(QStringLiteral("type"), type);
    if (outProperty)
        xml->writeAttribute(QStringLiteral("OutProperty"), QStringLiteral("True"));
    xml->writeCharacters(value);
    xml->writeEndElement();
}

void ComObjectHelper::writeTextElementWithType(QXmlStreamWriter* writer, QString name,
                                               QString value, QString type) {
    if (writer == nullptr)
        return;
    writer->writeStartElement(name);
    writer->writeAttribute(QStringLiteral("type"), type);
    writer->writeCharacters(value);
    writer->writeEndElement();
}

} // namespace ZyrCore::Communication
