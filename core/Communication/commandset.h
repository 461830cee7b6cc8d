#ifndef ZYRCORE_COMMUNICATION_COMMANDSET_H
#define ZYRCORE_COMMUNICATION_COMMANDSET_H

#include "zyrcore_global.h"

#include <QList>
#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace ZyrCore::Communication {

class IComObject;

// Command names mapped to prototype objects, which are cloned to make new commands, and further
// sets searched after this one's own names. The set owns its prototypes and sub-sets, so it is
// neither copied nor assigned: addSet takes a deep copy instead.
class ZYRCORE_EXPORT CommandSet {
public:
    CommandSet() = default;
    CommandSet(const CommandSet&) = delete;
    CommandSet& operator=(const CommandSet&) = delete;
    virtual ~CommandSet();

    // Stores a clone under the name, replacing (and deleting) what the name held; the caller
    // keeps its object.
    void addCommand(QString name, IComObject* command);
    // Appends a deep copy; the caller keeps its set.
    void addSet(CommandSet* set);
    // A new command owned by the caller: this set's prototype first, then the sub-sets in order,
    // depth first; null when no set knows the name.
    IComObject* createObject(QString name);
    // This set's names in key order, then each sub-set's; a name may appear more than once.
    QList<QString> commandNames();
    void clear();

private:
    std::unique_ptr<CommandSet> deepCopy() const;

    std::map<QString, std::unique_ptr<IComObject>> itsCommands;
    std::vector<std::unique_ptr<CommandSet>> itsSets;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMMANDSET_H
