#ifndef TESTS_GUI_RECORDINGEXECUTOR_H
#define TESTS_GUI_RECORDINGEXECUTOR_H

#include "intents/iintentexecuteparameter.h"
#include "intents/iintentexecutor.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

// One slot call as an executor saw it.
struct ExecutorCall {
    QString executor;
    QString slot;
    ZyrGui::Intents::IIntentExecuteParameter* parameter;
    // -1 without a checkable parameter, else 0 or 1.
    int checked;
};

// An intent executor that writes every call of its slots into a shared log and may run an
// action on its first slot, such as unregistering another executor. Like every executor it
// unregisters itself when destroyed, so a failed test leaves nothing registered behind.
class RecordingExecutor : public QObject, public ZyrGui::Intents::IIntentExecutor {
    Q_OBJECT

public:
    RecordingExecutor(const QString& name, QList<ExecutorCall>* log);
    ~RecordingExecutor() override;

    void setOnAlpha(std::function<void()> action) { itsOnAlpha = std::move(action); }

public slots:
    void intAlpha_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    void intBeta_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);

private:
    void record(const char* slot, ZyrGui::Intents::IIntentExecuteParameter* parameter);

    QString itsName;
    QList<ExecutorCall>* itsLog;
    std::function<void()> itsOnAlpha;
};

#endif // TESTS_GUI_RECORDINGEXECUTOR_H
