#ifndef ZYRCORE_COMMUNICATION_COMMANDMANAGER_H
#define ZYRCORE_COMMUNICATION_COMMANDMANAGER_H

#include "Communication/commandset.h"

#include <QHash>
#include <QMutex>
#include <QString>

#include <memory>

class QXmlStreamReader;

namespace ZyrCore::Communication {

class CommandInfo;
class IComObject;
class TelegramTemplate;

// The process-wide registry of command sets, and the conversions between a com object, its XML
// telegram and its CommandInfo record. Every conversion reports failure by null, an empty text,
// false or 255; results are owned by the caller.
class ZYRCORE_EXPORT CommandManager {
public:
    CommandManager();
    CommandManager(const CommandManager&) = delete;
    CommandManager& operator=(const CommandManager&) = delete;
    virtual ~CommandManager();

    static CommandManager* instance();

    // A record named after the object's element, with the four Telegram attributes and every
    // value element as properties; null unless the text is one whole telegram with all four.
    virtual CommandInfo* convertToCommandInfo(QString telegram);
    // convertToCommandInfo for the Telegram element the reader stands on in a larger document (a
    // trace file), read to its end element (TelegramContent::readElement).
    CommandInfo* readCommandInfo(QXmlStreamReader* reader);
    // A new object from the registered prototype named by the object's element, filled from the
    // telegram; null when the telegram, its CallingType or Trace, or the object's reading fails.
    virtual IComObject* convertToComObject(QString telegram);
    // The record's command as an object: its prototype's request telegram, updated with the
    // record's values and read back.
    virtual IComObject* convertToComObject(CommandInfo* commandInfo);
    // The object's request telegram; empty when it has no telegram form.
    virtual QString convertToXml(IComObject* comObject);
    // Sets the Telegram attributes and the texts of the object's elements from the record; the
    // text is replaced (indented by one space) only when every one of them was found.
    virtual bool updateTelegram(QString* telegram, CommandInfo* commandInfo);
    // The record of a new command's request telegram.
    virtual CommandInfo* createCommand(QString name);

    // The registry keeps deep copies and clones; the caller keeps what it passed.
    void registerCommandSet(CommandSet* set);
    void registerCommand(QString name, IComObject* command);
    void unregisterCommands();

    // 0 for a request, 1 for a response, 255 for anything else.
    int getTelegramType(QString* telegram);

private:
    // The prototype's request telegram of a command, ready to take a record's values; null
    // when the command has none. Kept until the registry changes.
    std::shared_ptr<const TelegramTemplate> requestTemplate(const QString& name);
    void forgetTemplates();

    static CommandManager itsInstance;

    CommandSet itsRootSet;
    QMutex itsTemplatesLock;
    QHash<QString, std::shared_ptr<const TelegramTemplate>> itsTemplates;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMMANDMANAGER_H
