#include "Communication/commandinfo.h"

#include <algorithm>

namespace ZyrCore::Communication {

CommandInfo::CommandInfo(QString name)
    : name(std::move(name)) {}

CommandInfo::CommandInfo(const CommandInfo& other)
    : name(other.name)
    , comment(other.comment)
    , itsProperties(other.itsProperties)
    , itsOutPropertyNames(other.itsOutPropertyNames) {}

int CommandInfo::indexOf(const QString& name) const {
    const auto found =
        std::find_if(itsProperties.cbegin(), itsProperties.cend(),
                     [&name](const Property& property) { return property.name == name; });
    return found != itsProperties.cend() ? int(found - itsProperties.cbegin()) : -1;
}

const CommandInfo::Property* CommandInfo::find(const QString& name) const {
    const int index = indexOf(name);
    return index >= 0 ? &itsProperties.at(index) : nullptr;
}

// Detaches from a copy's shared properties before handing out a property to change.
CommandInfo::Property* CommandInfo::find(const QString& name) {
    const int index = indexOf(name);
    return index >= 0 ? &itsProperties[index] : nullptr;
}

void CommandInfo::addProperty(QString name, QString value, QString type, bool out) {
    if (out)
        itsOutPropertyNames.append(name);
    if (Property* property = find(name)) {
        property->value = std::move(value);
        property->type = std::move(type);
    } else {
        itsProperties.append({std::move(name), std::move(value), std::move(type)});
    }
}

bool CommandInfo::containsProperty(QString name) const {
    return find(name) != nullptr;
}

QString CommandInfo::getPropertyValue(QString name) const {
    const Property* property = find(name);
    return property != nullptr ? property->value : QString();
}

bool CommandInfo::tryGetPropertyValue(const QString& name, QString* value) const {
    const Property* property = find(name);
    if (property == nullptr)
        return false;
    *value = property->value;
    return true;
}

QString CommandInfo::getPropertyType(QString name) const {
    const Property* property = find(name);
    return property != nullptr ? property->type : QString();
}

void CommandInfo::removeProperty(QString name) {
    const int index = indexOf(name);
    if (index < 0)
        return;
    itsProperties.remove(index);
    itsOutPropertyNames.removeAll(name);
}

bool CommandInfo::trySetPropertyValue(QString name, QString value, bool validate) {
    Property* property = find(name);
    if (property == nullptr)
        return false;
    const QString previous = property->value;
    property->value = std::move(value);
    if (!validate)
        return true;

    bool accepted = false;
    CommandInfo* record = this;
    if (validator.invoke(QReturnArgument<bool>("bool", accepted),
                         QArgument<CommandInfo*>("CommandInfo*", record)) &&
        accepted)
        return true;
    // The validator may have changed the record; the property is looked up again.
    if (Property* changed = find(name))
        changed->value = previous;
    return false;
}

QMap<QString, QString> CommandInfo::properties() const {
    QMap<QString, QString> values;
    for (const Property& property : itsProperties)
        values.insert(property.name, property.value);
    return values;
}

QMap<QString, QString> CommandInfo::propertyTypes() const {
    QMap<QString, QString> types;
    for (const Property& property : itsProperties)
        types.insert(property.name, property.type);
    return types;
}

bool CommandInfo::equals(CommandInfo* other) const {
    if (other == nullptr || name != other->name || comment != other->comment ||
        itsProperties.size() != other->itsProperties.size() ||
        itsOutPropertyNames.size() != other->itsOutPropertyNames.size())
        return false;
    for (const Property& theirs : qAsConst(other->itsProperties)) {
        const Property* mine = find(theirs.name);
        if (mine == nullptr || mine->value != theirs.value || mine->type != theirs.type)
            return false;
    }
    for (const QString& outName : qAsConst(other->itsOutPropertyNames)) {
        if (!itsOutPropertyNames.contains(outName))
            return false;
    }
    return true;
}

} // namespace ZyrCore::Communication
