#ifndef ZYRCORE_COMMUNICATION_ICCOMCORE_H
#define ZYRCORE_COMMUNICATION_ICCOMCORE_H

#include "Communication/comobservercache.h"
#include "Communication/icommunicationnode.h"
#include "Communication/iregistercommunication.h"

#include <QMutex>
#include <QQueue>

namespace ZyrCore::Communication {

class IComObject;
class IRegisterComObjectProvider;

// Register access over a stream: each operation lets the register description build its com
// objects through the provider, runs them as one sequence under this object's lock, copies the
// results back, checks writes by reading the register back and, after unlocking, tells the
// observers. Stream, provider, observers and register set stay with their owners.
//
// The lock is not recursive: observers may call back in, streams must not.
class ZYRCORE_EXPORT IcComCore : public virtual IRegisterCommunication,
                                 public virtual ICommunicationNode {
public:
    // Trace bit added to the com objects that read a written register back.
    static constexpr unsigned int readBackTraceBit = 0x10000;

    IcComCore(IComExecutor* stream, IRegisterComObjectProvider* provider);
    IcComCore(const IcComCore&) = delete;
    IcComCore& operator=(const IcComCore&) = delete;
    ~IcComCore() override;

    // -1 for a write-only register or without stream or provider.
    int readRegister(IRegisterInfo* info, IRegisterValue* value, bool notify) override;
    // Block mode reads runs of consecutive registers as blocks. -1 without stream or provider,
    // for a null entry, or when any transfer or block falls short.
    int readRegisterList(QList<IRegisterInfo*>* infos, QList<IRegisterValue*>* values,
                         bool blockMode, bool notify) override;
    // The observers are told the value read back, also when it differs (-3).
    int writeRegister(IRegisterInfo* info, IRegisterValue* value) override;
    // Without a modify object from the provider: read, merge and write, then read back.
    int modifyRegister(IRegisterInfo* info, IRegisterValue* value, IRegisterValue* mask) override;
    void setRegisterSet(ZyrCore::Register::RegisterSet* registerSet) override;
    ZyrCore::Register::RegisterSet* registerSet() override;
    void setStream(IComExecutor* stream) override;
    IComExecutor* stream() override;
    void registerObserver(IComObserver* observer) override;
    void unregisterObserver(IComObserver* observer) override;

    // Open when the stream is open; the stream itself is never opened here.
    bool open() override;
    bool isOpen() override;
    bool close() override;
    // Takes the node as stream when it is an executor.
    bool setNextNode(ICommunicationNode* node) override;

    void setComObjectProvider(IRegisterComObjectProvider* provider);
    IRegisterComObjectProvider* comObjectProvider();

    void raiseValueChanged(IRegisterInfo* info, IRegisterValue* value);

private:
    // Runs the queued requests as one exchange; its error is read after the response step.
    void execute(QQueue<IComObject*>* comSequence);
    // Reads info into readBackValue with the read-back trace bit; returns the exchange's error.
    int readBack(IRegisterInfo* info, IRegisterValue* readBackValue,
                 QQueue<IComObject*>* comSequence);
    int readBlocks(QList<IRegisterInfo*>* infos, QList<IRegisterValue*>* values,
                   QQueue<IComObject*>* comSequence);
    int readSingles(QList<IRegisterInfo*>* infos, QList<IRegisterValue*>* values,
                    QQueue<IComObject*>* comSequence);

    QMutex itsMutex;
    IRegisterComObjectProvider* itsProvider;
    ComObserverCache itsObserverCache;
    ZyrCore::Register::RegisterSet* itsRegisterSet = nullptr;
    IComExecutor* itsStream;
    bool itsIsOpen = false;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_ICCOMCORE_H
