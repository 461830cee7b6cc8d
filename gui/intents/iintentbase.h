#ifndef ZYRGUI_INTENTS_IINTENTBASE_H
#define ZYRGUI_INTENTS_IINTENTBASE_H

namespace ZyrGui::Intents {

// Common base of intents and intent groups; group items are told apart by their dynamic type.
class IIntentBase {
public:
    virtual ~IIntentBase() = default;
};

} // namespace ZyrGui::Intents

#endif // ZYRGUI_INTENTS_IINTENTBASE_H
