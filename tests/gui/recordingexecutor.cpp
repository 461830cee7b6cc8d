#include "recordingexecutor.h"

#include "intents/intentexecuteparametercheckable.h"
#include "intents/intentmanager.h"

using ZyrGui::Intents::IIntentExecuteParameter;
using ZyrGui::Intents::IntentExecuteParameterCheckable;
using ZyrGui::Intents::IntentManager;

RecordingExecutor::RecordingExecutor(const QString& name, QList<ExecutorCall>* log)
    : itsName(name)
    , itsLog(log) {}

RecordingExecutor::~RecordingExecutor() {
    IntentManager::instance()->unregisterExecutor(this);
}

void RecordingExecutor::intAlpha_execute(IIntentExecuteParameter* parameter) {
    record("intAlpha", parameter);
    if (itsOnAlpha)
        itsOnAlpha();
}

void RecordingExecutor::intBeta_execute(IIntentExecuteParameter* parameter) {
    record("intBeta", parameter);
}

void RecordingExecutor::record(const char* slot, IIntentExecuteParameter* parameter) {
    int checked = -1;
    if (auto* checkable = dynamic_cast<IntentExecuteParameterCheckable*>(parameter))
        checked = checkable->isChecked() ? 1 : 0;
    itsLog->append({itsName, QLatin1String(slot), parameter, checked});
}
