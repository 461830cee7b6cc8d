#ifndef ZYRCORE_COMMUNICATION_IREGISTERINFO_H
#define ZYRCORE_COMMUNICATION_IREGISTERINFO_H

#include "zyrcore_global.h"

#include <QByteArray>
#include <QList>
#include <QQueue>
#include <QString>

namespace ZyrCore::Communication {

class IComObject;
class IRegisterComObjectProvider;
class IRegisterValue;

// Describes one register independently of the bus: it builds the com objects that read, write or
// modify the register and copies the results of executed com objects back into values.
// Each request operation appends to the queue; each response operation takes its objects off the
// front of the queue and deletes them.
class ZYRCORE_EXPORT IRegisterInfo {
public:
    virtual ~IRegisterInfo() = default;

    // Observers, equality and ordering go by the key.
    virtual QByteArray key() const = 0;
    virtual bool equals(IRegisterInfo* other) = 0;
    virtual bool operator<(IRegisterInfo* other) = 0;
    virtual QString id() const = 0;
    virtual QString toString() const = 0;
    virtual bool isReadOnly() const = 0;
    virtual bool isWriteOnly() const = 0;
    virtual bool canHandleValue(IRegisterValue* value) = 0;
    virtual IRegisterValue* createValue() = 0;
    virtual void processWriteRegisterRequest(QQueue<IComObject*>* comObjects, IRegisterValue* value,
                                             IRegisterComObjectProvider* objectProvider) = 0;
    virtual void processWriteRegisterResponse(QQueue<IComObject*>* comObjects,
                                              IRegisterValue* value) = 0;
    virtual void processModifyRegisterRequest(QQueue<IComObject*>* comObjects,
                                              IRegisterValue* value, IRegisterValue* mask,
                                              IRegisterComObjectProvider* objectProvider) = 0;
    virtual void processModifyRegisterResponse(QQueue<IComObject*>* comObjects,
                                               IRegisterValue* value, IRegisterValue* mask) = 0;
    virtual void processReadRegisterRequest(QQueue<IComObject*>* comObjects, IRegisterValue* value,
                                            IRegisterComObjectProvider* objectProvider) = 0;
    virtual void processReadRegisterResponse(QQueue<IComObject*>* comObjects,
                                             IRegisterValue* value) = 0;
    // True when this register directly follows other, so both can be read in one block.
    virtual bool isDirectSuccessorOf(IRegisterInfo* other) = 0;
    virtual void processBlockReadRegisterRequest(QQueue<IComObject*>* comObjects,
                                                 QList<IRegisterValue*>* values,
                                                 IRegisterComObjectProvider* objectProvider) = 0;
    virtual void processBlockReadRegisterResponse(QQueue<IComObject*>* comObjects,
                                                  QList<IRegisterValue*>* values) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_IREGISTERINFO_H
