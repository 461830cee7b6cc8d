#ifndef ZYRGUI_INTENTS_INTENTMANAGER_H
#define ZYRGUI_INTENTS_INTENTMANAGER_H

#include <QList>
#include <QObject>
#include <QString>

namespace ZyrGui::Intents {

class IIntent;
class IIntentExecuteParameter;
class IIntentExecutor;

// The process-wide registry of intents and executors. Dispatching an intent named N invokes the
// slot N_execute(ZyrGui::Intents::IIntentExecuteParameter*) on every registered executor that
// has one, in registration order. The manager owns neither intents nor executors.
class IntentManager : public QObject {
    Q_OBJECT

public:
    static IntentManager* instance();

    void registerIntent(IIntent* intent);
    // Removes every occurrence.
    void unregisterIntent(IIntent* intent);
    void registerExecutor(IIntentExecutor* executor);
    // Removes every occurrence.
    void unregisterExecutor(IIntentExecutor* executor);

    // The first registered intent whose name matches exactly (case-sensitive), or null.
    IIntent* getIntent(const QString& name) const;

    // parameter may be null and stays owned by the caller. An executor unregistered while the
    // dispatch runs is not called any more.
    void execute(IIntent* intent, IIntentExecuteParameter* parameter);

private:
    IntentManager();
    ~IntentManager() override;

    QList<IIntent*> itsIntents;
    QList<IIntentExecutor*> itsExecutors;
};

} // namespace ZyrGui::Intents

#endif // ZYRGUI_INTENTS_INTENTMANAGER_H
