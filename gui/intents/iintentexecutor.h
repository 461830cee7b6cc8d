#ifndef ZYRGUI_INTENTS_IINTENTEXECUTOR_H
#define ZYRGUI_INTENTS_IINTENTEXECUTOR_H

namespace ZyrGui::Intents {

// Marks an object that offers "<intent name>_execute" slots. To be reached by the intent
// manager the object must also derive from QObject.
class IIntentExecutor {
public:
    virtual ~IIntentExecutor() = default;
};

} // namespace ZyrGui::Intents

#endif // ZYRGUI_INTENTS_IINTENTEXECUTOR_H
