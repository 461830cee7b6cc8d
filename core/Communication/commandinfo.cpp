#include "Communication/commandinfo.h"

namespace ZyrCore::Communication {

CommandInfo::CommandInfo(QString name)
    : name(std::move(name)) {}

CommandInfo::CommandInfo(const CommandInfo& other)
    : name(other.name)
    , comment(other.comment)
    , itsProperties(other.itsProperties)
    , itsPropertyTypes(other.itsPropertyTypes)
    , itsOutPropertyNames(other.itsOutPropertyNames) {}

void CommandInfo::addProperty(QString name, QString value, QString type, bool out) {
    itsProperties.insert(name, value);
    itsPropertyTypes.insert(name, type);
    if (out)
        itsOutPropertyNames.append(name);
}

bool CommandInfo::containsProperty(QString name) const {
    return itsProperties.contains(name) && itsPropertyTypes.contains(name);
}

QString CommandInfo::getPropertyValue(QString name) const {
    return itsProperties.value(name);
}

bool CommandInfo::tryGetPropertyValue(const QString& name, QString* value) const {
    if (!containsProperty(name))
        return false;
    *value = itsProperties.value(name);
    return true;
}

QString CommandInfo::getPropertyType(QString name) const {
    return itsPropertyTypes.value(name);
}

void CommandInfo::removeProperty(QString name) {
    if (!containsProperty(name))
        return;
    itsProperties.remove(name);
    itsPropertyTypes.remove(name);
    itsOutPropertyNames.removeAll(name);
}

bool CommandInfo::trySetPropertyValue(QString name, QString value, bool validate) {
    if (!containsProperty(name))
        return false;
    const QString previous = itsProperties.value(name);
    itsProperties.insert(name, value);
    if (!validate)
        return true;

    bool accepted = false;
    CommandInfo* record = this;
    if (validator.invoke(QReturnArgument<bool>("bool", accepted),
                         QArgument<CommandInfo*>("CommandInfo*", record)) &&
        accepted)
        return true;
    itsProperties.insert(name, previous);
    return false;
}

bool CommandInfo::equals(CommandInfo* other) const {
    if (other == nullptr || name != other->name || comment != other->comment ||
        itsProperties.size() != other->itsProperties.size() ||
        itsPropertyTypes.size() != other->itsPropertyTypes.size() ||
        itsOutPropertyNames.size() != other->itsOutPropertyNames.size())
        return false;
    for (auto it = other->itsProperties.cbegin(); it != other->itsProperties.cend(); ++it) {
        if (!itsProperties.contains(it.key()) || itsProperties.value(it.key()) != it.value())
            return false;
    }
    for (auto it = other->itsPropertyTypes.cbegin(); it != other->itsPropertyTypes.cend(); ++it) {
        if (!itsPropertyTypes.contains(it.key()) || itsPropertyTypes.value(it.key()) != it.value())
            return false;
    }
    for (const QString& outName : other->itsOutPropertyNames) {
        if (!itsOutPropertyNames.contains(outName))
            return false;
    }
    return true;
}

} // namespace ZyrCore::Communication
