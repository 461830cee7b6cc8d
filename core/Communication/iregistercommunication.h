#ifndef ZYRCORE_COMMUNICATION_IREGISTERCOMMUNICATION_H
#define ZYRCORE_COMMUNICATION_IREGISTERCOMMUNICATION_H

#include "zyrcore_global.h"

#include <QList>

namespace ZyrCore::Register {
class RegisterSet;
}

namespace ZyrCore::Communication {

class IComExecutor;
class IComObserver;
class IRegisterInfo;
class IRegisterValue;

// Reads, writes and modifies registers. Results: 0 success, -1 read failed, -2 write failed,
// -3 the read-back does not confirm the write.
class ZYRCORE_EXPORT IRegisterCommunication {
public:
    virtual ~IRegisterCommunication() = default;

    virtual int readRegister(IRegisterInfo* info, IRegisterValue* value, bool notify) = 0;
    virtual int readRegisterList(QList<IRegisterInfo*>* infos, QList<IRegisterValue*>* values,
                                 bool blockMode, bool notify) = 0;
    virtual int writeRegister(IRegisterInfo* info, IRegisterValue* value) = 0;
    // Changes only the bits set in mask.
    virtual int modifyRegister(IRegisterInfo* info, IRegisterValue* value,
                               IRegisterValue* mask) = 0;
    virtual void setRegisterSet(ZyrCore::Register::RegisterSet* registerSet) = 0;
    virtual ZyrCore::Register::RegisterSet* registerSet() = 0;
    virtual void setStream(IComExecutor* stream) = 0;
    virtual IComExecutor* stream() = 0;
    virtual void registerObserver(IComObserver* observer) = 0;
    virtual void unregisterObserver(IComObserver* observer) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_IREGISTERCOMMUNICATION_H
