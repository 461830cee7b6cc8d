#ifndef ZYRCORE_COMMUNICATION_ICOMOBSERVER_H
#define ZYRCORE_COMMUNICATION_ICOMOBSERVER_H

#include "zyrcore_global.h"

#include <QList>
#include <QString>

namespace ZyrCore::Register {
class RegisterSet;
}

namespace ZyrCore::Communication {

class IRegisterInfo;
class IRegisterValue;

// Told by the register communication about new register values and a new register set.
class ZYRCORE_EXPORT IComObserver {
public:
    virtual ~IComObserver() = default;

    // True: only the registers of observedRegisters(); false: every register.
    virtual bool observesSelectedRegisters() = 0;
    virtual QList<IRegisterInfo*> observedRegisters() = 0;
    virtual void onValueChanged(IRegisterInfo* info, IRegisterValue* value) = 0;
    virtual void onRegisterSetChanged(ZyrCore::Register::RegisterSet* registerSet) = 0;
    virtual QString name() = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_ICOMOBSERVER_H
