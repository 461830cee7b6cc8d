#include "intents/intentmanager.h"

#include "intents/iintent.h"
#include "intents/iintentexecuteparameter.h"
#include "intents/iintentexecutor.h"

#include "Tools/zyrassert.h"

#include <QMetaMethod>
#include <QMetaObject>
#include <QPointer>
#include <QVector>

namespace ZyrGui::Intents {

namespace {

constexpr const char* kSource = "intents/intentmanager";

// One executor as it was registered when a dispatch began. The QPointer notices a QObject that
// was destroyed meanwhile, even if a new executor took over its address.
struct DispatchTarget {
    IIntentExecutor* executor;
    QPointer<QObject> object;
};

} // namespace

IntentManager::IntentManager()
    : QObject(nullptr) {}

IntentManager::~IntentManager() = default;

IntentManager* IntentManager::instance() {
    static IntentManager manager;
    return &manager;
}

void IntentManager::registerIntent(IIntent* intent) {
    ZYR_ASSERT_NOT_NULL(kSource, intent);
    itsIntents.append(intent);
}

void IntentManager::unregisterIntent(IIntent* intent) {
    ZYR_ASSERT_NOT_NULL(kSource, intent);
    itsIntents.removeAll(intent);
}

void IntentManager::registerExecutor(IIntentExecutor* executor) {
    ZYR_ASSERT_NOT_NULL(kSource, executor);
    itsExecutors.append(executor);
}

void IntentManager::unregisterExecutor(IIntentExecutor* executor) {
    ZYR_ASSERT_NOT_NULL(kSource, executor);
    itsExecutors.removeAll(executor);
}

IIntent* IntentManager::getIntent(const QString& name) const {
    for (IIntent* intent : itsIntents) {
        if (name == QLatin1String(intent->name()))
            return intent;
    }
    return nullptr;
}

void IntentManager::execute(IIntent* intent, IIntentExecuteParameter* parameter) {
    ZYR_ASSERT_NOT_NULL(kSource, intent);
    const QByteArray slotName =
        QStringLiteral("%1_execute").arg(QLatin1String(intent->name())).toLatin1();

    // Walk a snapshot, so that slots may register or unregister executors; the object of every
    // entry is resolved now, while all registered executors are alive.
    QVector<DispatchTarget> targets;
    targets.reserve(itsExecutors.size());
    for (IIntentExecutor* executor : qAsConst(itsExecutors))
        targets.append({executor, dynamic_cast<QObject*>(executor)});

    for (const DispatchTarget& target : qAsConst(targets)) {
        if (target.object.isNull())
            continue;
        const QMetaObject* metaObject = target.object->metaObject();
        for (int index = 0; index < metaObject->methodCount(); ++index) {
            // An earlier slot may have unregistered or destroyed this executor.
            if (target.object.isNull() || !itsExecutors.contains(target.executor))
                break;
            if (metaObject->method(index).name() != slotName)
                continue;
            QMetaObject::invokeMethod(
                target.object.data(), slotName.constData(), Qt::AutoConnection,
                QGenericArgument("ZyrGui::Intents::IIntentExecuteParameter*", &parameter));
        }
    }
}

} // namespace ZyrGui::Intents
