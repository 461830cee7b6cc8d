#include "Tracing/traceprogrammer.h"

#include "Communication/commandmanager.h"
#include "Communication/icomobject.h"
#include "Tools/zyrassert.h"
#include "Tracing/tracefilelayout.h"
#include "Tracing/traceplayer.h"
#include "Tracing/tracerecorder.h"

#include <memory>

namespace ZyrCore::Tracing {

using namespace ZyrCore::Communication;

namespace {

constexpr const char* kSource = "Tracing/traceprogrammer";
const QString kTelegramType = QStringLiteral("TelegramType");

// The request telegram of a record, or an empty text when it makes no command.
QString requestTelegramOf(CommandInfo* commandInfo) {
    CommandManager* registry = CommandManager::instance();
    std::unique_ptr<IComObject> object(registry->convertToComObject(commandInfo));
    return object != nullptr ? registry->convertToXml(object.get()) : QString();
}

} // namespace

TraceProgrammer::TraceProgrammer(QObject* parent)
    : QObject(parent) {
    registerTraceMetaTypes();
    itsValidator.set(this, SLOT(validateCommand(CommandInfo*)));
}

TraceProgrammer::~TraceProgrammer() {
    qDeleteAll(itsCommands);
}

CommandInfo* TraceProgrammer::createCommand(QString name) {
    CommandInfo* command = CommandManager::instance()->createCommand(name);
    if (command != nullptr)
        setValidator(command);
    return command;
}

bool TraceProgrammer::validateCommand(CommandInfo* commandInfo) {
    std::unique_ptr<IComObject> object(CommandManager::instance()->convertToComObject(commandInfo));
    return object != nullptr;
}

bool TraceProgrammer::filterAndTransform(CommandInfo* commandInfo) {
    ZYR_ASSERT_NOT_NULL(kSource, commandInfo);
    if (commandInfo->getPropertyValue(kTelegramType) == QLatin1String("Response")) {
        commandInfo->trySetPropertyValue(kTelegramType, QStringLiteral("Request"), false);
        for (const QString& name : commandInfo->outPropertyNames())
            commandInfo->removeProperty(name);
    }
    return true;
}

bool TraceProgrammer::insertCommands(int position, QList<CommandInfo*> commands) {
    ZYR_ASSERT(kSource, commands.contains(NULL) == false,
               "List of commands must not contain NULL pointers.");
    ZYR_ASSERT(kSource, position >= 0 && position <= itsCommands.count(), "Position out of range.");
    for (int i = commands.count() - 1; i >= 0; --i) {
        filterAndTransform(commands.at(i));
        setValidator(commands.at(i));
        itsCommands.insert(position, commands.at(i));
    }
    if (!commands.isEmpty())
        emit commandsInserted(commands, position);
    return true;
}

bool TraceProgrammer::insertCommand(int position, CommandInfo* command) {
    ZYR_ASSERT_NOT_NULL(kSource, command);
    return insertCommands(position, {command});
}

bool TraceProgrammer::addCommand(CommandInfo* command) {
    ZYR_ASSERT_NOT_NULL(kSource, command);
    return insertCommands(itsCommands.count(), {command});
}

bool TraceProgrammer::deleteCommands(int position, int count) {
    ZYR_ASSERT(kSource, position >= 0, "Position out of range.");
    if (count == 0)
        return true;
    if (position >= itsCommands.count())
        return false;
    const int removed = count < 0 ? 0 : qMin(count, itsCommands.count() - position);
    for (int i = 0; i < removed; ++i)
        delete itsCommands.takeAt(position);
    emit commandsDeleted(position, removed);
    return true;
}

bool TraceProgrammer::deleteCommand(int position) {
    return deleteCommands(position, 1);
}

QList<CommandInfo*> TraceProgrammer::exportCommands(int position, int count) const {
    ZYR_ASSERT(kSource, position >= 0, "Position out of range.");
    const int available = qMax(0, itsCommands.count() - position);
    const int n = count < 0 ? available : qMin(count, available);
    QList<CommandInfo*> copies;
    for (int i = 0; i < n; ++i)
        copies.append(new CommandInfo(*itsCommands.at(position + i)));
    return copies;
}

bool TraceProgrammer::saveProgram(QString fileName) {
    if (itsRecorder == nullptr)
        return false;
    // Every telegram is checked before the file is opened: a program that cannot be written whole
    // leaves the file as it was.
    TraceFileLayout layout;
    QList<QString> telegrams;
    for (CommandInfo* command : qAsConst(itsCommands)) {
        const QString telegram = requestTelegramOf(command);
        if (telegram.isEmpty() || layout.check(telegram) != TraceFileLayout::Outcome::Added)
            return false;
        telegrams.append(telegram);
    }
    return itsRecorder->writeTelegrams(fileName, telegrams);
}

bool TraceProgrammer::loadProgram(QString fileName) {
    if (itsPlayer == nullptr)
        return false;
    // Each telegram becomes its record straight from the file's reader: the file is parsed once.
    QList<CommandInfo*> loaded;
    const bool read = itsPlayer->visitTelegrams(fileName, [&](QXmlStreamReader* reader) {
        CommandInfo* command = CommandManager::instance()->readCommandInfo(reader);
        if (command == nullptr)
            return false;
        if (command->getPropertyValue(kTelegramType) == QLatin1String("Response")) {
            delete command;
            return true;
        }
        loaded.append(command);
        return validateCommand(command);
    });
    if (!read) {
        qDeleteAll(loaded);
        return false;
    }

    if (!itsCommands.isEmpty())
        deleteCommands(0, itsCommands.count());
    insertCommands(0, loaded);
    return true;
}

bool TraceProgrammer::execute(int position, int count) {
    if (itsExecuting)
        return false;
    ZYR_ASSERT(kSource, position >= 0, "Position out of range.");
    if (count == 0)
        return true;
    // Playing needs an executor behind the player; without one nothing can be sent.
    if (position >= itsCommands.count() || itsPlayer == nullptr ||
        itsPlayer->comExecutor() == nullptr)
        return false;

    itsExecuting = true;
    emit executionStateChanged(true);
    const int n = qMin(count, itsCommands.count() - position);
    bool succeeded = true;
    for (int i = 0; i < n; ++i) {
        const QString telegram = requestTelegramOf(itsCommands.at(position + i));
        if (telegram.isEmpty() || !itsPlayer->playSingleTelegram(telegram))
            succeeded = false;
    }
    itsExecuting = false;
    emit executionStateChanged(false);
    return succeeded;
}

void TraceProgrammer::setValidator(CommandInfo* commandInfo) {
    commandInfo->validator.set(&itsValidator);
}

} // namespace ZyrCore::Tracing
