#ifndef ZYRGUI_INTENTS_IINTENTGROUP_H
#define ZYRGUI_INTENTS_IINTENTGROUP_H

#include "intents/iintentbase.h"

#include <QList>
#include <QString>

namespace ZyrGui::Intents {

// A titled, ordered collection of intents and sub-groups: one menu of a menu tree.
class IIntentGroup : public IIntentBase {
public:
    virtual QString text() const = 0;
    // The group's own list, not a copy.
    virtual QList<IIntentBase*>* intents() = 0;
};

} // namespace ZyrGui::Intents

#endif // ZYRGUI_INTENTS_IINTENTGROUP_H
