#include "intents/intent.h"

#include "intents/intentexecuteparametercheckable.h"
#include "intents/intentmanager.h"

#include <QAction>

namespace ZyrGui::Intents {

Intent::Intent(const char* name, const QString& text, const QIcon& icon, const QString& description,
               bool checkable)
    : QObject(nullptr)
    , itsName(name)
    , itsText(text)
    , itsIcon(icon)
    , itsDescription(description)
    , itsCheckable(checkable) {
    IntentManager::instance()->registerIntent(this);
}

Intent::~Intent() {
    IntentManager::instance()->unregisterIntent(this);
}

QString Intent::text() const {
    return itsText;
}

const char* Intent::name() const {
    return itsName;
}

QString Intent::description() const {
    return itsDescription;
}

QIcon Intent::icon() const {
    return itsIcon;
}

bool Intent::isCheckable() const {
    return itsCheckable;
}

void Intent::execute() {
    if (auto* action = qobject_cast<QAction*>(sender())) {
        IntentExecuteParameterCheckable parameter(action->isChecked());
        IntentManager::instance()->execute(this, &parameter);
    } else {
        IntentManager::instance()->execute(this, nullptr);
    }
}

} // namespace ZyrGui::Intents
