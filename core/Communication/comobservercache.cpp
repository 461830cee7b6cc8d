#include "Communication/comobservercache.h"

#include "Communication/icomobserver.h"
#include "Communication/iregisterinfo.h"
#include "Tools/zyrassert.h"

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/comobservercache";
}

ComObserverCache::~ComObserverCache() {
    qDeleteAll(itsRegisterObservers);
}

void ComObserverCache::append(IComObserver* observer) {
    ZYR_ASSERT_NOT_NULL(kSource, observer);
    if (!itsObservers.contains(observer))
        itsObservers.append(observer);

    if (observer->observesSelectedRegisters()) {
        const QList<IRegisterInfo*> registers = observer->observedRegisters();
        for (IRegisterInfo* info : registers) {
            if (info != nullptr)
                appendForKey(info->key(), info->toString(), observer);
        }
        return;
    }

    if (!itsAnyRegisterObservers.contains(observer))
        itsAnyRegisterObservers.append(observer);
    const QList<QByteArray> keys = itsRegisterDescriptions.keys();
    for (const QByteArray& key : keys)
        appendForKey(key, itsRegisterDescriptions.value(key), observer);
}

void ComObserverCache::remove(IComObserver* observer) {
    ZYR_ASSERT_NOT_NULL(kSource, observer);
    itsObservers.removeAll(observer);
    itsAnyRegisterObservers.removeAll(observer);
    for (auto entry = itsRegisterObservers.begin(); entry != itsRegisterObservers.end();) {
        QList<IComObserver*>* list = entry.value();
        list->removeAll(observer);
        if (list->isEmpty()) {
            itsRegisterDescriptions.remove(entry.key());
            delete list;
            entry = itsRegisterObservers.erase(entry);
        } else {
            ++entry;
        }
    }
}

QList<IComObserver*>* ComObserverCache::findObservers(IRegisterInfo* regInfo) {
    ZYR_ASSERT_NOT_NULL(kSource, regInfo);
    QList<IComObserver*>* list = itsRegisterObservers.value(regInfo->key(), nullptr);
    if (list != nullptr)
        return list;
    if (!itsAnyRegisterObservers.isEmpty())
        return &itsAnyRegisterObservers;
    return nullptr;
}

QList<IComObserver*>* ComObserverCache::observers() {
    return &itsObservers;
}

QString ComObserverCache::toString() const {
    QString text = QStringLiteral("ComObserverCache entries:\n");
    for (auto entry = itsRegisterObservers.constBegin(); entry != itsRegisterObservers.constEnd();
         ++entry) {
        text += QStringLiteral("    ") + itsRegisterDescriptions.value(entry.key()) +
                QStringLiteral("\n");
        for (IComObserver* observer : *entry.value())
            text += QStringLiteral("        Observer: %1\n").arg(observer->name());
    }
    return text;
}

void ComObserverCache::appendForKey(const QByteArray& key, const QString& description,
                                    IComObserver* observer) {
    QList<IComObserver*>* list = itsRegisterObservers.value(key, nullptr);
    if (list == nullptr) {
        list = new QList<IComObserver*>();
        itsRegisterObservers.insert(key, list);
        itsRegisterDescriptions.insert(key, description);
    }
    list->append(observer);
}

} // namespace ZyrCore::Communication
