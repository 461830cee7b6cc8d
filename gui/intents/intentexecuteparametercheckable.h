#ifndef ZYRGUI_INTENTS_INTENTEXECUTEPARAMETERCHECKABLE_H
#define ZYRGUI_INTENTS_INTENTEXECUTEPARAMETERCHECKABLE_H

#include "intents/iintentexecuteparameter.h"

namespace ZyrGui::Intents {

// The checked state of the action that fired an intent, after the action toggled.
class IntentExecuteParameterCheckable : public IIntentExecuteParameter {
public:
    explicit IntentExecuteParameterCheckable(bool checked);

    bool isChecked() const { return itsChecked; }

private:
    bool itsChecked;
};

} // namespace ZyrGui::Intents

#endif // ZYRGUI_INTENTS_INTENTEXECUTEPARAMETERCHECKABLE_H
