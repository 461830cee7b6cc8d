#include "Communication/commandset.h"

#include "Communication/icomobject.h"
#include "Tools/zyrassert.h"

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/commandset";
}

CommandSet::~CommandSet() {
    clear();
}

void CommandSet::addCommand(QString name, IComObject* command) {
    ZYR_ASSERT_NOT_NULL(kSource, command);
    itsCommands[name].reset(command->clone());
}

void CommandSet::addSet(CommandSet* set) {
    ZYR_ASSERT_NOT_NULL(kSource, set);
    itsSets.push_back(set->deepCopy());
}

IComObject* CommandSet::createObject(QString name) {
    const auto found = itsCommands.find(name);
    if (found != itsCommands.end() && found->second != nullptr) {
        if (IComObject* command = found->second->clone())
            return command;
    }
    for (const auto& set : itsSets) {
        if (IComObject* command = set->createObject(name))
            return command;
    }
    return nullptr;
}

QList<QString> CommandSet::commandNames() {
    QList<QString> names;
    for (const auto& command : itsCommands)
        names.append(command.first);
    for (const auto& set : itsSets)
        names.append(set->commandNames());
    return names;
}

void CommandSet::clear() {
    itsCommands.clear();
    itsSets.clear();
}

std::unique_ptr<CommandSet> CommandSet::deepCopy() const {
    auto copy = std::make_unique<CommandSet>();
    for (const auto& command : itsCommands)
        copy->itsCommands[command.first].reset(command.second ? command.second->clone() : nullptr);
    for (const auto& set : itsSets)
        copy->itsSets.push_back(set->deepCopy());
    return copy;
}

} // namespace ZyrCore::Communication
