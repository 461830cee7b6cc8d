#include "intents/intentgroup.h"

#include "Tools/zyrassert.h"

#include <utility>

namespace ZyrGui::Intents {

namespace {
constexpr const char* kSource = "intents/intentgroup";
}

IntentGroup::IntentGroup(QString text)
    : itsText(std::move(text)) {}

void IntentGroup::add(IIntentBase* intentItem) {
    ZYR_ASSERT_NOT_NULL(kSource, intentItem);
    itsIntents.append(intentItem);
}

void IntentGroup::remove(IIntentBase* intentItem) {
    ZYR_ASSERT_NOT_NULL(kSource, intentItem);
    itsIntents.removeAll(intentItem);
}

QString IntentGroup::text() const {
    return itsText;
}

QList<IIntentBase*>* IntentGroup::intents() {
    return &itsIntents;
}

} // namespace ZyrGui::Intents
