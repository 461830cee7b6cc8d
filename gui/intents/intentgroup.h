#ifndef ZYRGUI_INTENTS_INTENTGROUP_H
#define ZYRGUI_INTENTS_INTENTGROUP_H

#include "intents/iintentgroup.h"

namespace ZyrGui::Intents {

// A menu of intents and sub-groups. The group does not own its items.
class IntentGroup : public IIntentGroup {
public:
    explicit IntentGroup(QString text);

    // Appends the item; the same item may be appended more than once.
    void add(IIntentBase* intentItem);
    // Removes every occurrence of the item.
    void remove(IIntentBase* intentItem);

    QString text() const override;
    QList<IIntentBase*>* intents() override;

private:
    QString itsText;
    QList<IIntentBase*> itsIntents;
};

} // namespace ZyrGui::Intents

#endif // ZYRGUI_INTENTS_INTENTGROUP_H
