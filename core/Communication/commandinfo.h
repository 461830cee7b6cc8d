#ifndef ZYRCORE_COMMUNICATION_COMMANDINFO_H
#define ZYRCORE_COMMUNICATION_COMMANDINFO_H

#include "Tools/delegate.h"
#include "zyrcore_global.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

namespace ZyrCore::Communication {

// A command as a flat record of named property values, as text, that a user interface can show
// and edit. A property holds a value and a type word ("hex", "text" or an element's type).
class ZYRCORE_EXPORT CommandInfo {
public:
    explicit CommandInfo(QString name);
    // Copies everything but the validator.
    CommandInfo(const CommandInfo& other);
    CommandInfo& operator=(const CommandInfo&) = delete;
    virtual ~CommandInfo() = default;

    // Inserts or overwrites; out marks a result of a response.
    void addProperty(QString name, QString value, QString type, bool out);
    bool containsProperty(QString name) const;
    // Empty when absent.
    QString getPropertyValue(QString name) const;
    bool tryGetPropertyValue(const QString& name, QString* value) const;
    QString getPropertyType(QString name) const;
    void removeProperty(QString name);
    // False for an unknown property. With validate, the validator must accept the new value,
    // otherwise the old one is restored and the result is false.
    bool trySetPropertyValue(QString name, QString value, bool validate);

    QMap<QString, QString> properties() const;
    QMap<QString, QString> propertyTypes() const;
    QList<QString> outPropertyNames() const { return itsOutPropertyNames; }

    // Same name, comment and properties; the validators are not compared.
    bool equals(CommandInfo* other) const;

    // The command name: the name of the object's element in its telegram.
    QString name;
    QString comment;
    // Called as a slot taking "CommandInfo*" (this record) and returning bool.
    ZyrCore::Tools::Delegate validator;

private:
    struct Property {
        QString name;
        QString value;
        QString type;
    };

    int indexOf(const QString& name) const;
    const Property* find(const QString& name) const;
    Property* find(const QString& name);

    // A record holds a few properties, read far more often than changed: one block searched
    // in order costs less than maps of nodes.
    QVector<Property> itsProperties;
    QList<QString> itsOutPropertyNames;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMMANDINFO_H
