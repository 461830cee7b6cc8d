#ifndef ZYRCORE_COMMUNICATION_COMOBSERVERCACHE_H
#define ZYRCORE_COMMUNICATION_COMOBSERVERCACHE_H

#include "zyrcore_global.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace ZyrCore::Communication {

class IComObserver;
class IRegisterInfo;

// The observers of each register, by register key. Observers are not owned, and nothing of a
// register description is kept but its key and its text, so descriptions may go away freely.
class ZYRCORE_EXPORT ComObserverCache {
public:
    ComObserverCache() = default;
    ComObserverCache(const ComObserverCache&) = delete;
    ComObserverCache& operator=(const ComObserverCache&) = delete;
    virtual ~ComObserverCache();

    // An observer of every register is entered for the registers known so far.
    void append(IComObserver* observer);
    void remove(IComObserver* observer);
    // The register's own observers, else the observers of every register, else null.
    QList<IComObserver*>* findObservers(IRegisterInfo* regInfo);
    QList<IComObserver*>* observers();
    QString toString() const;

private:
    void appendForKey(const QByteArray& key, const QString& description, IComObserver* observer);

    QMap<QByteArray, QList<IComObserver*>*> itsRegisterObservers;
    QMap<QByteArray, QString> itsRegisterDescriptions;
    QList<IComObserver*> itsAnyRegisterObservers;
    QList<IComObserver*> itsObservers;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMOBSERVERCACHE_H
