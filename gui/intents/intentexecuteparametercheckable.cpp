#include "intents/intentexecuteparametercheckable.h"

namespace ZyrGui::Intents {

IntentExecuteParameterCheckable::IntentExecuteParameterCheckable(bool checked)
    : itsChecked(checked) {}

} // namespace ZyrGui::Intents
