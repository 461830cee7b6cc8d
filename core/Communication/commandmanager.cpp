#include "Communication/commandmanager.h"

#include "Communication/commandinfo.h"
#include "Communication/icomobject.h"
#include "Communication/ixmlserializable.h"
#include "Communication/telegramcontent.h"
#include "Communication/telegramtemplate.h"
#include "Tools/startelementcopy.h"
#include "Tools/zyrassert.h"

#include <QMutexLocker>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <iterator>
#include <memory>

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/commandmanager";

const QString kTelegram = QStringLiteral("Telegram");
const QString kPid = QStringLiteral("Pid");
const QString kCallingType = QStringLiteral("CallingType");
const QString kTelegramType = QStringLiteral("TelegramType");
const QString kTrace = QStringLiteral("Trace");
const QString kHex = QStringLiteral("hex");
const QString kText = QStringLiteral("text");

// The Telegram element's attributes, which a record holds as properties of these types.
struct HeaderAttribute {
    const QString& name;
    const QString& type;
};
const HeaderAttribute kHeaderAttributes[] = {
    {kPid, kHex}, {kCallingType, kText}, {kTelegramType, kText}, {kTrace, kHex}};

bool isHeaderAttribute(const QString& name) {
    return std::any_of(std::cbegin(kHeaderAttributes), std::cend(kHeaderAttributes),
                       [&name](const HeaderAttribute& header) { return header.name == name; });
}

// Whether an XML text may hold every character of text; a writer writes any character as it is.
bool isXmlText(const QString& text) {
    for (int i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            ++i;
        } else if (c < 0x20 ? c != '\t' && c != '\n' && c != '\r'
                            : QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF) {
            return false;
        }
    }
    return true;
}

// Copies a telegram token by token, setting the Telegram attributes and the texts of the object's
// elements from a record. Blanks between elements are left to the writer's indentation.
class TelegramEditor {
public:
    TelegramEditor(const QString& telegram, const CommandInfo& commandInfo, QString* output)
        : itsReader(telegram)
        , itsWriter(output)
        , itsInfo(commandInfo) {
        itsWriter.setAutoFormatting(true);
        itsWriter.setAutoFormattingIndent(1);
    }

    bool run() {
        bool objectEdited = false;
        while (!itsReader.atEnd()) {
            switch (itsReader.readNext()) {
            case QXmlStreamReader::StartDocument:
                if (!itsReader.documentVersion().isEmpty())
                    itsWriter.writeStartDocument(itsReader.documentVersion().toString());
                break;
            case QXmlStreamReader::StartElement:
                if (itsDepth == 0) {
                    if (itsReader.name() != kTelegram || !writeTelegramStart())
                        return false;
                } else if (itsDepth == 1 && !objectEdited && itsReader.name() == itsInfo.name) {
                    if (!editObject())
                        return false;
                    objectEdited = true;
                    continue; // editObject consumed the element's end
                } else {
                    copyStartElement();
                }
                ++itsDepth;
                break;
            case QXmlStreamReader::EndElement:
                --itsDepth;
                itsWriter.writeCurrentToken(itsReader);
                break;
            case QXmlStreamReader::Characters:
                // Blanks inside a text element (a comment's) are content, not indentation.
                if (!itsReader.isWhitespace() || itsDepth >= 2)
                    itsWriter.writeCurrentToken(itsReader);
                break;
            case QXmlStreamReader::Comment:
            case QXmlStreamReader::ProcessingInstruction:
                itsWriter.writeCurrentToken(itsReader);
                break;
            case QXmlStreamReader::EndDocument:
                itsWriter.writeEndDocument();
                break;
            default: // a DTD, an unresolved entity or an error
                return false;
            }
        }
        return objectEdited && !itsReader.hasError();
    }

private:
    bool writeTelegramStart() {
        const QXmlStreamAttributes attributes = itsReader.attributes();
        for (const HeaderAttribute& header : kHeaderAttributes) {
            if (!attributes.hasAttribute(header.name) || !itsInfo.containsProperty(header.name))
                return false;
        }
        // Only the unprefixed header attributes take the record's values.
        QXmlStreamAttributes edited;
        for (const QXmlStreamAttribute& attribute : attributes) {
            const QString name = attribute.qualifiedName().toString();
            QString value = attribute.value().toString();
            if (isHeaderAttribute(name) && !tryGetRecordValue(name, &value))
                return false;
            edited.append(name, value);
        }
        Tools::writeStartElementAsRead(itsReader, edited, &itsWriter);
        return true;
    }

    // The record's value of a property, when an XML text can hold it.
    bool tryGetRecordValue(const QString& name, QString* value) const {
        *value = itsInfo.getPropertyValue(name);
        return isXmlText(*value);
    }

    void copyStartElement() {
        Tools::writeStartElementAsRead(itsReader, itsReader.attributes(), &itsWriter);
    }

    // Rewrites the object's element, whose children must all be text elements the record knows.
    bool editObject() {
        copyStartElement();
        while (!itsReader.atEnd()) {
            itsReader.readNext();
            switch (TelegramContent::objectToken(itsReader, false)) {
            case TelegramContent::ObjectToken::ValueStart:
                if (!editValue())
                    return false;
                break;
            case TelegramContent::ObjectToken::End:
                itsWriter.writeCurrentToken(itsReader);
                return true;
            case TelegramContent::ObjectToken::Ignored:
                break;
            case TelegramContent::ObjectToken::ValueText: // no value is open here
            case TelegramContent::ObjectToken::Refused:
                return false;
            }
        }
        return false;
    }

    bool editValue() {
        const QString name = itsReader.name().toString();
        if (!itsInfo.containsProperty(name))
            return false;
        copyStartElement();
        itsReader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (itsReader.hasError())
            return false;
        // Also an element that was empty gets the value.
        QString value;
        if (!tryGetRecordValue(name, &value))
            return false;
        itsWriter.writeCharacters(value);
        itsWriter.writeEndElement();
        return true;
    }

    QXmlStreamReader itsReader;
    QXmlStreamWriter itsWriter;
    const CommandInfo& itsInfo;
    int itsDepth = 0;
};

// A record of the telegram's attributes, comment and values; null unless it has all four
// Telegram attributes.
CommandInfo* commandInfoOf(const TelegramContent& content) {
    for (const HeaderAttribute& header : kHeaderAttributes) {
        if (!content.hasAttribute(header.name))
            return nullptr;
    }

    auto info = std::make_unique<CommandInfo>(content.objectName());
    for (const HeaderAttribute& header : kHeaderAttributes)
        info->addProperty(header.name, content.attribute(header.name), header.type, false);
    info->comment = content.comment();
    for (const TelegramContent::Value& value : content.values())
        info->addProperty(value.name, value.text, value.hasType ? value.type : kHex, value.out);
    return info.release();
}

} // namespace

CommandManager CommandManager::itsInstance;

CommandManager::CommandManager() = default;

CommandManager::~CommandManager() = default;

CommandManager* CommandManager::instance() {
    return &itsInstance;
}

void CommandManager::registerCommandSet(CommandSet* set) {
    itsRootSet.addSet(set);
    forgetTemplates();
}

void CommandManager::registerCommand(QString name, IComObject* command) {
    itsRootSet.addCommand(name, command);
    forgetTemplates();
}

void CommandManager::unregisterCommands() {
    itsRootSet.clear();
    forgetTemplates();
}

QString CommandManager::convertToXml(IComObject* comObject) {
    ZYR_ASSERT_NOT_NULL(kSource, comObject);
    auto* serializable = dynamic_cast<IXmlSerializable*>(comObject);
    if (serializable == nullptr)
        return QString();
    QString telegram;
    QXmlStreamWriter writer(&telegram);
    writer.setAutoFormatting(true);
    if (!serializable->xmlSerialize(&writer, 0))
        return QString();
    return telegram;
}

CommandInfo* CommandManager::convertToCommandInfo(QString telegram) {
    TelegramContent content;
    if (!content.read(telegram))
        return nullptr;
    return commandInfoOf(content);
}

CommandInfo* CommandManager::readCommandInfo(QXmlStreamReader* reader) {
    ZYR_ASSERT_NOT_NULL(kSource, reader);
    TelegramContent content;
    if (!content.readElement(*reader))
        return nullptr;
    return commandInfoOf(content);
}

IComObject* CommandManager::convertToComObject(QString telegram) {
    if (!TelegramContent::isWithinLimits(telegram))
        return nullptr;
    // One pass: the object reads its own element between the telegram's header and trailer.
    QXmlStreamReader reader(telegram);
    TelegramContent header;
    if (!header.readHeader(reader) || !header.hasAttribute(kCallingType) ||
        !header.hasAttribute(kTrace))
        return nullptr;
    bool traceConverted = false;
    const unsigned int tracePattern = header.attribute(kTrace).toUInt(&traceConverted, 16);
    if (!traceConverted)
        return nullptr;

    std::unique_ptr<IComObject> object(itsRootSet.createObject(header.objectName()));
    auto* serializable = dynamic_cast<IXmlSerializable*>(object.get());
    if (serializable == nullptr || !serializable->xmlDeserialize(&reader) ||
        !TelegramContent::readTrailer(reader))
        return nullptr;

    const QString callingType = header.attribute(kCallingType);
    if (callingType != QLatin1String("FireAndForget") &&
        callingType != QLatin1String("RequestAndResponse"))
        object->setCallingType(static_cast<IComObject::CallingType>(255));
    object->setTracePattern(tracePattern);
    if (!header.comment().isEmpty())
        object->setComment(header.comment());
    return object.release();
}

IComObject* CommandManager::convertToComObject(CommandInfo* commandInfo) {
    ZYR_ASSERT_NOT_NULL(kSource, commandInfo);
    // The comment goes onto the object as it stands, not through the telegram: the writer's
    // escaping could take it past a limit of markup, and a reader takes a carriage return in it
    // for a line break.
    if (!isXmlText(commandInfo->comment))
        return nullptr;
    // The prototype's telegram is the same for every record of the command, so its edit is
    // prepared once and only filled here.
    const auto request = requestTemplate(commandInfo->name);
    QString telegram;
    switch (request != nullptr ? request->fill(*commandInfo, &telegram)
                               : TelegramTemplate::NotPlain) {
    case TelegramTemplate::Filled:
        break;
    case TelegramTemplate::MissingValue:
        return nullptr;
    case TelegramTemplate::NotPlain: {
        std::unique_ptr<IComObject> prototype(itsRootSet.createObject(commandInfo->name));
        if (prototype == nullptr)
            return nullptr;
        telegram = convertToXml(prototype.get());
        if (telegram.isEmpty() || !updateTelegram(&telegram, commandInfo))
            return nullptr;
        break;
    }
    }
    IComObject* object = convertToComObject(telegram);
    if (object != nullptr && !commandInfo->comment.isEmpty())
        object->setComment(commandInfo->comment);
    return object;
}

bool CommandManager::updateTelegram(QString* telegram, CommandInfo* commandInfo) {
    ZYR_ASSERT_NOT_NULL(kSource, telegram);
    ZYR_ASSERT_NOT_NULL(kSource, commandInfo);
    QString edited;
    // The writer escapes quotes and '>', which may take a text past a limit of markup.
    if (!TelegramContent::isWithinLimits(*telegram) ||
        !TelegramEditor(*telegram, *commandInfo, &edited).run() ||
        !TelegramContent::isWithinLimits(edited))
        return false;
    *telegram = edited;
    return true;
}

CommandInfo* CommandManager::createCommand(QString name) {
    std::unique_ptr<IComObject> object(itsRootSet.createObject(name));
    if (object == nullptr)
        return nullptr;
    const QString telegram = convertToXml(object.get());
    if (telegram.isEmpty())
        return nullptr;
    return convertToCommandInfo(telegram);
}

std::shared_ptr<const TelegramTemplate> CommandManager::requestTemplate(const QString& name) {
    QMutexLocker lock(&itsTemplatesLock);
    const auto found = itsTemplates.constFind(name);
    if (found != itsTemplates.cend())
        return found.value();
    // Only registered names are kept, so a file full of unknown ones cannot grow the cache.
    std::unique_ptr<IComObject> object(itsRootSet.createObject(name));
    if (object == nullptr)
        return nullptr;
    std::shared_ptr<const TelegramTemplate> made = TelegramTemplate::create(
        name, convertToXml(object.get()),
        [](const QString& telegram, const CommandInfo& record, QString* edited) {
            return TelegramEditor(telegram, record, edited).run();
        });
    itsTemplates.insert(name, made);
    return made;
}

void CommandManager::forgetTemplates() {
    QMutexLocker lock(&itsTemplatesLock);
    itsTemplates.clear();
}

int CommandManager::getTelegramType(QString* telegram) {
    ZYR_ASSERT_NOT_NULL(kSource, telegram);
    constexpr int unknown = 255;
    if (!TelegramContent::isWithinLimits(*telegram))
        return unknown;
    QXmlStreamReader reader(*telegram);
    int type = unknown;
    bool rootRead = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isDTD())
            return unknown;
        if (reader.isStartElement() && !rootRead) {
            rootRead = true;
            if (reader.name() != kTelegram)
                return unknown;
            const QStringRef word = reader.attributes().value(kTelegramType);
            if (word == QLatin1String("Request"))
                type = 0;
            else if (word == QLatin1String("Response"))
                type = 1;
        }
    }
    return reader.hasError() ? unknown : type;
}

} // namespace ZyrCore::Communication
