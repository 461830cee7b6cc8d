#ifndef ZYRGUI_INTENTS_IINTENTEXECUTEPARAMETER_H
#define ZYRGUI_INTENTS_IINTENTEXECUTEPARAMETER_H

namespace ZyrGui::Intents {

// Base of everything passed to an intent slot.
class IIntentExecuteParameter {
public:
    virtual ~IIntentExecuteParameter() = default;
};

} // namespace ZyrGui::Intents

#endif // ZYRGUI_INTENTS_IINTENTEXECUTEPARAMETER_H
