#ifndef ZYRGUI_INTENTS_IINTENT_H
#define ZYRGUI_INTENTS_IINTENT_H

#include "intents/iintentbase.h"

#include <QIcon>
#include <QString>

namespace ZyrGui::Intents {

// A named user command, independent of the menu entries that trigger it and of the objects
// that carry it out.
class IIntent : public IIntentBase {
public:
    virtual QString text() const = 0;
    virtual const char* name() const = 0;
    virtual QString description() const = 0;
    virtual QIcon icon() const = 0;
    virtual bool isCheckable() const = 0;
    virtual void execute() = 0;
};

} // namespace ZyrGui::Intents

#endif // ZYRGUI_INTENTS_IINTENT_H
